// A torpedo striking a ship: a tall white column of water and a dark burst.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_WATER_BIG
  soundDelay 0.05
  groups [
    PGroup {
      name "spray"
      type CAM
      animIdMin 8
      animIdMax 8
      animTime 1.9
      spawnInterval 0.001
      spawnDelay -0.03
      countMin 12
      countMax 16
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 18
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -1.08 0
      priority 1
      stages [
        PStage {
          blend NORM
          sizeMin 4.8
          sizeMax 7.2
          lifeMin 0.2
          rotSpeedMin -20
          rotSpeedMax 20
          speedMin 85.8
          speedMax 132.6
          colorMin 240 248 255 235
          colorMax 240 248 255 235
        }
        PStage {
          blend NORM
          sizeMin 12
          sizeMax 16.8
          lifeMin 1.2
          lifeMax 1.6
          speedMin 18.72
          speedMax 28.08
          colorMin 225 238 250 210
          colorMax 225 238 250 210
        }
        PStage {
          blend NORM
          sizeMin 18
          sizeMax 22.8
          speedMin 2.4
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
          sizeMin 8.8
          sizeMax 11
          lifeMin 0.4
          speedMin 11
          speedMax 17.6
          colorMin 235 242 250 150
          colorMax 235 242 250 150
        }
        PStage {
          blend NORM
          sizeMin 19.8
          sizeMax 26.4
          lifeMin 2
          lifeMax 2.6
          speedMin 2.2
          colorMin 235 242 250 90
          colorMax 235 242 250 90
        }
        PStage {
          blend NORM
          sizeMin 28.6
          sizeMax 33
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
          sizeMin 6.3
          sizeMax 8.4
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
          sizeMin 14
          sizeMax 18.2
          lifeMin 2.6
          lifeMax 3.4
          speedMin 2.1
          speedMax 3.5
          colorMin 85 83 81 170
          colorMax 85 83 81 170
        }
        PStage {
          blend NORM
          sizeMin 21
          sizeMax 25.2
          speedMin 0.7
          colorMin 110 108 106 0
          colorMax 110 108 106 0
        }
      ]
    }
  ]
}
