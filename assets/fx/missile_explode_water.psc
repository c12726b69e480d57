// A missile hitting the water: a column of spray and mist.
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
      countMin 8
      countMax 10
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 18
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.63 0
      priority 1
      stages [
        PStage {
          blend NORM
          sizeMin 2.8
          sizeMax 4.2
          lifeMin 0.2
          rotSpeedMin -20
          rotSpeedMax 20
          speedMin 38.5
          speedMax 59.5
          colorMin 240 248 255 235
          colorMax 240 248 255 235
        }
        PStage {
          blend NORM
          sizeMin 7
          sizeMax 9.8
          lifeMin 1.2
          lifeMax 1.6
          speedMin 8.4
          speedMax 12.6
          colorMin 225 238 250 210
          colorMax 225 238 250 210
        }
        PStage {
          blend NORM
          sizeMin 10.5
          sizeMax 13.3
          speedMin 1.4
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
          sizeMin 5.6
          sizeMax 7
          lifeMin 0.4
          speedMin 7
          speedMax 11.2
          colorMin 235 242 250 150
          colorMax 235 242 250 150
        }
        PStage {
          blend NORM
          sizeMin 12.6
          sizeMax 16.8
          lifeMin 2
          lifeMax 2.6
          speedMin 1.4
          colorMin 235 242 250 90
          colorMax 235 242 250 90
        }
        PStage {
          blend NORM
          sizeMin 18.2
          sizeMax 21
          speedMin 0.35
          colorMin 235 242 250 0
          colorMax 235 242 250 0
        }
      ]
    }
  ]
}
