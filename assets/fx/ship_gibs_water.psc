// A wreck piece falling into the sea: a small splash.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_WATER_SMALL
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
      countMin 5
      countMax 7
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 18
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.405 0
      priority 1
      stages [
        PStage {
          blend NORM
          sizeMin 1.8
          sizeMax 2.7
          lifeMin 0.2
          rotSpeedMin -20
          rotSpeedMax 20
          speedMin 24.75
          speedMax 38.25
          colorMin 240 248 255 235
          colorMax 240 248 255 235
        }
        PStage {
          blend NORM
          sizeMin 4.5
          sizeMax 6.3
          lifeMin 1.2
          lifeMax 1.6
          speedMin 5.4
          speedMax 8.1
          colorMin 225 238 250 210
          colorMax 225 238 250 210
        }
        PStage {
          blend NORM
          sizeMin 6.75
          sizeMax 8.55
          speedMin 0.9
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
          sizeMin 3.2
          sizeMax 4
          lifeMin 0.4
          speedMin 4
          speedMax 6.4
          colorMin 235 242 250 150
          colorMax 235 242 250 150
        }
        PStage {
          blend NORM
          sizeMin 7.2
          sizeMax 9.6
          lifeMin 2
          lifeMax 2.6
          speedMin 0.8
          colorMin 235 242 250 90
          colorMax 235 242 250 90
        }
        PStage {
          blend NORM
          sizeMin 10.4
          sizeMax 12
          speedMin 0.2
          colorMin 235 242 250 0
          colorMax 235 242 250 0
        }
      ]
    }
  ]
}
