// An aircraft blown apart in the air: flash, fireball, sparks, wreckage and a hanging smoke cloud.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_AIR_BIG
  soundDelay 0.05
  debrisOil 0.5
  debrisSparks 0.9
  groups [
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
          sizeMin 23.4
          lifeMin 0.08
          speedMin 0
          colorMin 255 240 200 255
          colorMax 255 240 200 255
        }
        PStage {
          blend ADDI
          sizeMin 42.9
          lifeMin 0
          colorMin 255 170 80 255
          colorMax 255 170 80 255
        }
        PStage {
          blend ADDI
          sizeMin 46.8
          colorMin 0 0 0 255
          colorMax 0 0 0 255
        }
      ]
    }
    PGroup {
      name "fireball"
      type CAM
      animIdMin 4
      animIdMax 4
      animTime 1.61
      spawnInterval 0.001
      spawnDelay -0.02
      countMin 9
      countMax 11
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 180
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 1
      stages [
        PStage {
          blend NORM
          sizeMin 4.5
          sizeMax 6.3
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.15
          rotSpeedMin -40
          rotSpeedMax 40
          speedMin 67.5
          speedMax 112.5
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 12.6
          sizeMax 18
          lifeMin 0.98
          lifeMax 1.4
          speedMin 10.5
          speedMax 18
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 19.8
          sizeMax 24.3
          speedMin 1.5
          colorMin 255 255 255 0
          colorMax 255 255 255 0
        }
      ]
    }
    PGroup {
      name "sparks"
      type CAM
      animIdMin 6
      animIdMax 6
      animTime 1
      spawnInterval 0.001
      spawnDelay -0.03
      countMin 18
      countMax 26
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 180
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -1.32 0
      priority 0.5
      stages [
        PStage {
          blend ADDI
          sizeMin 0.33
          sizeMax 0.59
          lifeMin 0.6
          lifeMax 1.1
          speedMin 77
          speedMax 143
          colorMin 255 230 170 255
          colorMax 255 230 170 255
        }
        PStage {
          blend ADDI
          sizeMin 0.2
          speedMin 11
          colorMin 160 60 10 255
          colorMax 160 60 10 255
        }
      ]
    }
    PGroup {
      name "debris"
      type CAM
      animIdMin 11
      animIdMax 11
      animTime 1
      spawnInterval 0.001
      spawnDelay -0.03
      countMin 6
      countMax 9
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 120
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -2.75 0
      priority 0.6
      stages [
        PStage {
          blend NORM
          sizeMin 0.99
          sizeMax 1.65
          lifeMin 1.4
          lifeMax 2
          rotSpeedMin -500
          rotSpeedMax 500
          speedMin 49.5
          speedMax 88
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 0.99
          sizeMax 1.65
          speedMin 22
          colorMin 255 255 255 0
          colorMax 255 255 255 0
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
      spawnDelay 0.25
      countMin 8
      countMax 11
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 150
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0.0168 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 7.56
          sizeMax 10.08
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.5
          rotSpeedMin -25
          rotSpeedMax 25
          speedMin 22.4
          speedMax 33.6
          colorMin 55 50 46 215
          colorMax 55 50 46 215
        }
        PStage {
          blend NORM
          sizeMin 16.8
          sizeMax 21.84
          lifeMin 2.6
          lifeMax 3.4
          speedMin 4.2
          speedMax 7
          colorMin 90 85 81 170
          colorMax 90 85 81 170
        }
        PStage {
          blend NORM
          sizeMin 25.2
          sizeMax 30.24
          speedMin 1.4
          colorMin 115 110 106 0
          colorMax 115 110 106 0
        }
      ]
    }
  ]
}
