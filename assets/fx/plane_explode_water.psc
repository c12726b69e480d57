// An aircraft crashing into the sea: a tall column of spray, mist and a flat ring of foam.
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
      countMin 10
      countMax 14
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 18
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.9 0
      priority 1
      stages [
        PStage {
          blend NORM
          sizeMin 4
          sizeMax 6
          lifeMin 0.2
          rotSpeedMin -20
          rotSpeedMax 20
          speedMin 55
          speedMax 85
          colorMin 240 248 255 235
          colorMax 240 248 255 235
        }
        PStage {
          blend NORM
          sizeMin 10
          sizeMax 14
          lifeMin 1.2
          lifeMax 1.6
          speedMin 12
          speedMax 18
          colorMin 225 238 250 210
          colorMax 225 238 250 210
        }
        PStage {
          blend NORM
          sizeMin 15
          sizeMax 19
          speedMin 2
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
          sizeMin 8
          sizeMax 10
          lifeMin 0.4
          speedMin 10
          speedMax 16
          colorMin 235 242 250 150
          colorMax 235 242 250 150
        }
        PStage {
          blend NORM
          sizeMin 18
          sizeMax 24
          lifeMin 2
          lifeMax 2.6
          speedMin 2
          colorMin 235 242 250 90
          colorMax 235 242 250 90
        }
        PStage {
          blend NORM
          sizeMin 26
          sizeMax 30
          speedMin 0.5
          colorMin 235 242 250 0
          colorMax 235 242 250 0
        }
      ]
    }
    PGroup {
      name "ring"
      type HRZ
      animIdMin 13
      animIdMax 13
      animTime 1
      spawnInterval 0
      spawnDelay 0
      countMin 1
      countMax 1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 0
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 1.5
      stages [
        PStage {
          blend NORM
          sizeMin 4.8
          lifeMin 0.7
          speedMin 0
          colorMin 240 248 255 200
          colorMax 240 248 255 200
        }
        PStage {
          blend NORM
          sizeMin 36
          colorMin 240 248 255 0
          colorMax 240 248 255 0
        }
      ]
    }
    PGroup {
      name "flash"
      type CAM
      animIdMin 6
      animIdMax 6
      animTime 1
      spawnInterval 0
      spawnDelay 0
      countMin 1
      countMax 1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 0
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 2
      stages [
        PStage {
          blend ADDI
          sizeMin 15
          lifeMin 0.08
          speedMin 0
          colorMin 255 240 200 255
          colorMax 255 240 200 255
        }
        PStage {
          blend ADDI
          sizeMin 27.5
          lifeMin 0
          colorMin 255 170 80 255
          colorMax 255 170 80 255
        }
        PStage {
          blend ADDI
          sizeMin 30
          colorMin 0 0 0 255
          colorMax 0 0 0 255
        }
      ]
    }
  ]
}
