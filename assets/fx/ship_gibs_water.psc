// A wreck piece falling into the sea: a small splash.
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
      countMin 4
      countMax 5
      rotStartMin 0
      rotStartMax 360
      angleMin 35
      angleMax 65
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.18 0
      priority 1.1
      stages [
        PStage {
          blend NORM
          sizeMin 2.7
          sizeMax 3.51
          aspectMin 0.7
          aspectMax 0.9
          lifeMin 0.15
          rotSpeedMin -30
          rotSpeedMax 30
          speedMin 20.25
          speedMax 27
          colorMin 245 250 255 245
          colorMax 245 250 255 245
        }
        PStage {
          blend NORM
          sizeMin 5.4
          sizeMax 7.02
          lifeMin 0.7
          lifeMax 0.9
          speedMin 4.5
          speedMax 6.3
          colorMin 232 242 252 200
          colorMax 232 242 252 200
        }
        PStage {
          blend NORM
          sizeMin 7.02
          sizeMax 8.1
          speedMin 0.9
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
      countMin 5
      countMax 7
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 22
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.225 0
      priority 1
      stages [
        PStage {
          blend NORM
          sizeMin 2.16
          sizeMax 2.97
          aspectMin 0.6
          aspectMax 0.8
          lifeMin 0.5
          rotSpeedMin -15
          rotSpeedMax 15
          speedMin 27
          speedMax 42.75
          colorMin 240 248 255 240
          colorMax 240 248 255 240
        }
        PStage {
          blend NORM
          sizeMin 4.86
          sizeMax 6.21
          aspectMin 0.8
          aspectMax 1
          lifeMin 2
          lifeMax 2.6
          speedMin 5.4
          speedMax 8.1
          colorMin 228 240 252 215
          colorMax 228 240 252 215
        }
        PStage {
          blend NORM
          sizeMin 6.48
          sizeMax 7.56
          speedMin 0.45
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
      countMin 2
      countMax 3
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
          sizeMin 2.4
          sizeMax 3.12
          lifeMin 0.4
          speedMin 4
          speedMax 6.4
          colorMin 235 242 250 170
          colorMax 235 242 250 170
        }
        PStage {
          blend NORM
          sizeMin 5.76
          sizeMax 7.2
          lifeMin 2.8
          lifeMax 3.4
          speedMin 0.8
          colorMin 235 242 250 110
          colorMax 235 242 250 110
        }
        PStage {
          blend NORM
          sizeMin 7.68
          sizeMax 8.64
          speedMin 0.2
          colorMin 235 242 250 0
          colorMax 235 242 250 0
        }
      ]
    }
  ]
}
