// A torpedo striking a ship: a tall white column of water and a dark burst.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_SND_3
  soundDelay 0.05
  groups [
    PGroup {
      name "crown"
      type CAM
      animIdMin 8
      animIdMax 8
      animTime 1
      spawnInterval 0.001
      spawnDelay -0.03
      countMin 6
      countMax 8
      rotStartMin 0
      rotStartMax 360
      angleMin 35
      angleMax 65
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.44 0
      priority 1.1
      stages [
        PStage {
          blend NORM
          sizeMin 6.6
          sizeMax 8.58
          aspectMin 0.7
          aspectMax 0.9
          lifeMin 0.15
          rotSpeedMin -30
          rotSpeedMax 30
          speedMin 49.5
          speedMax 66
          colorMin 245 250 255 245
          colorMax 245 250 255 245
        }
        PStage {
          blend NORM
          sizeMin 13.2
          sizeMax 17.16
          lifeMin 0.7
          lifeMax 0.9
          speedMin 11
          speedMax 15.4
          colorMin 232 242 252 200
          colorMax 232 242 252 200
        }
        PStage {
          blend NORM
          sizeMin 17.16
          sizeMax 19.8
          speedMin 2.2
          colorMin 225 238 250 0
          colorMax 225 238 250 0
        }
      ]
    }
    PGroup {
      name "spray"
      type CAM
      animIdMin 8
      animIdMax 8
      animTime 3.2
      spawnInterval 0.001
      spawnDelay -0.03
      countMin 12
      countMax 16
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 22
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.6 0
      priority 1
      stages [
        PStage {
          blend NORM
          sizeMin 5.76
          sizeMax 7.92
          aspectMin 0.6
          aspectMax 0.8
          lifeMin 0.5
          rotSpeedMin -15
          rotSpeedMax 15
          speedMin 93.6
          speedMax 148.2
          colorMin 240 248 255 240
          colorMax 240 248 255 240
        }
        PStage {
          blend NORM
          sizeMin 12.96
          sizeMax 16.56
          aspectMin 0.8
          aspectMax 1
          lifeMin 2
          lifeMax 2.6
          speedMin 18.72
          speedMax 28.08
          colorMin 228 240 252 215
          colorMax 228 240 252 215
        }
        PStage {
          blend NORM
          sizeMin 17.28
          sizeMax 20.16
          speedMin 1.2
          colorMin 220 235 250 0
          colorMax 220 235 250 0
        }
      ]
    }
    PGroup {
      name "mist"
      type CAM
      animIdMin 9
      animIdMax 9
      animTime 1
      spawnInterval 0.001
      spawnDelay 0.15
      countMin 5
      countMax 7
      rotStartMin 0
      rotStartMax 360
      angleMin 30
      angleMax 90
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 0.8
      stages [
        PStage {
          blend NORM
          sizeMin 6.6
          sizeMax 8.58
          lifeMin 0.4
          speedMin 11
          speedMax 17.6
          colorMin 235 242 250 170
          colorMax 235 242 250 170
        }
        PStage {
          blend NORM
          sizeMin 15.84
          sizeMax 19.8
          lifeMin 2.8
          lifeMax 3.4
          speedMin 2.2
          colorMin 235 242 250 110
          colorMax 235 242 250 110
        }
        PStage {
          blend NORM
          sizeMin 21.12
          sizeMax 23.76
          speedMin 0.55
          colorMin 235 242 250 0
          colorMax 235 242 250 0
        }
      ]
    }
    PGroup {
      name "smoke"
      type CAM
      animIdMin 0
      animIdMax 3
      animTime 1
      spawnInterval 0.001
      spawnDelay 0.3
      countMin 4
      countMax 6
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 150
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0.0084 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 3.78
          sizeMax 5.04
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.5
          rotSpeedMin -25
          rotSpeedMax 25
          speedMin 11.2
          speedMax 16.8
          colorMin 50 48 46 215
          colorMax 50 48 46 215
        }
        PStage {
          blend NORM
          sizeMin 8.4
          sizeMax 10.92
          lifeMin 2.6
          lifeMax 3.4
          speedMin 2.1
          speedMax 3.5
          colorMin 85 83 81 170
          colorMax 85 83 81 170
        }
        PStage {
          blend NORM
          sizeMin 12.6
          sizeMax 15.12
          speedMin 0.7
          colorMin 110 108 106 0
          colorMax 110 108 106 0
        }
      ]
    }
  ]
}
