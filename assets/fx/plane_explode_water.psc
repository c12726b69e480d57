// An aircraft crashing into the sea: a tall column of spray, mist and a flat ring of foam.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_WATER_BIG
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
      gravity 0 -0.4 0
      priority 1.1
      stages [
        PStage {
          blend NORM
          sizeMin 6
          sizeMax 7.8
          aspectMin 0.7
          aspectMax 0.9
          lifeMin 0.15
          rotSpeedMin -30
          rotSpeedMax 30
          speedMin 45
          speedMax 60
          colorMin 245 250 255 245
          colorMax 245 250 255 245
        }
        PStage {
          blend NORM
          sizeMin 12
          sizeMax 15.6
          lifeMin 0.7
          lifeMax 0.9
          speedMin 10
          speedMax 14
          colorMin 232 242 252 200
          colorMax 232 242 252 200
        }
        PStage {
          blend NORM
          sizeMin 15.6
          sizeMax 18
          speedMin 2
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
      countMin 10
      countMax 14
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 22
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.5 0
      priority 1
      stages [
        PStage {
          blend NORM
          sizeMin 4.8
          sizeMax 6.6
          aspectMin 0.6
          aspectMax 0.8
          lifeMin 0.5
          rotSpeedMin -15
          rotSpeedMax 15
          speedMin 60
          speedMax 95
          colorMin 240 248 255 240
          colorMax 240 248 255 240
        }
        PStage {
          blend NORM
          sizeMin 10.8
          sizeMax 13.8
          aspectMin 0.8
          aspectMax 1
          lifeMin 2
          lifeMax 2.6
          speedMin 12
          speedMax 18
          colorMin 228 240 252 215
          colorMax 228 240 252 215
        }
        PStage {
          blend NORM
          sizeMin 14.4
          sizeMax 16.8
          speedMin 1
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
          sizeMin 6
          sizeMax 7.8
          lifeMin 0.4
          speedMin 10
          speedMax 16
          colorMin 235 242 250 170
          colorMax 235 242 250 170
        }
        PStage {
          blend NORM
          sizeMin 14.4
          sizeMax 18
          lifeMin 2.8
          lifeMax 3.4
          speedMin 2
          colorMin 235 242 250 110
          colorMax 235 242 250 110
        }
        PStage {
          blend NORM
          sizeMin 19.2
          sizeMax 21.6
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
          sizeMin 2.88
          lifeMin 0.7
          speedMin 0
          colorMin 240 248 255 200
          colorMax 240 248 255 200
        }
        PStage {
          blend NORM
          sizeMin 21.6
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
          sizeMin 9
          lifeMin 0.08
          speedMin 0
          colorMin 255 240 200 255
          colorMax 255 240 200 255
        }
        PStage {
          blend ADDI
          sizeMin 16.5
          lifeMin 0
          colorMin 255 170 80 255
          colorMax 255 170 80 255
        }
        PStage {
          blend ADDI
          sizeMin 18
          colorMin 0 0 0 255
          colorMax 0 0 0 255
        }
      ]
    }
  ]
}
