// A missile hitting the water: a column of spray and mist.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_WATER_SMALL
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
      countMin 7
      countMax 9
      rotStartMin 0
      rotStartMax 360
      angleMin 35
      angleMax 65
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.32 0
      priority 1.1
      stages [
        PStage {
          blend NORM
          sizeMin 4.8
          sizeMax 6.24
          aspectMin 0.7
          aspectMax 0.9
          lifeMin 0.15
          rotSpeedMin -30
          rotSpeedMax 30
          speedMin 36
          speedMax 48
          colorMin 245 250 255 245
          colorMax 245 250 255 245
        }
        PStage {
          blend NORM
          sizeMin 9.6
          sizeMax 12.48
          lifeMin 0.7
          lifeMax 0.9
          speedMin 8
          speedMax 11.2
          colorMin 232 242 252 200
          colorMax 232 242 252 200
        }
        PStage {
          blend NORM
          sizeMin 12.48
          sizeMax 14.4
          speedMin 1.6
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
      countMin 8
      countMax 10
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 22
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.375 0
      priority 1
      stages [
        PStage {
          blend NORM
          sizeMin 3.6
          sizeMax 4.95
          aspectMin 0.6
          aspectMax 0.8
          lifeMin 0.5
          rotSpeedMin -15
          rotSpeedMax 15
          speedMin 45
          speedMax 71.25
          colorMin 240 248 255 240
          colorMax 240 248 255 240
        }
        PStage {
          blend NORM
          sizeMin 8.1
          sizeMax 10.35
          aspectMin 0.8
          aspectMax 1
          lifeMin 2
          lifeMax 2.6
          speedMin 9
          speedMax 13.5
          colorMin 228 240 252 215
          colorMax 228 240 252 215
        }
        PStage {
          blend NORM
          sizeMin 10.8
          sizeMax 12.6
          speedMin 0.75
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
      countMin 4
      countMax 5
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
          sizeMin 4.5
          sizeMax 5.85
          lifeMin 0.4
          speedMin 7.5
          speedMax 12
          colorMin 235 242 250 170
          colorMax 235 242 250 170
        }
        PStage {
          blend NORM
          sizeMin 10.8
          sizeMax 13.5
          lifeMin 2.8
          lifeMax 3.4
          speedMin 1.5
          colorMin 235 242 250 110
          colorMax 235 242 250 110
        }
        PStage {
          blend NORM
          sizeMin 14.4
          sizeMax 16.2
          speedMin 0.375
          colorMin 235 242 250 0
          colorMax 235 242 250 0
        }
      ]
    }
  ]
}
