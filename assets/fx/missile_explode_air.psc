// A missile or flak burst in the air: a smaller fireball with sparks and a puff of dark smoke.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_AIR_SMALL
  soundDelay 0.05
  debrisOil 0.3
  debrisSparks 0.8
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
          sizeMin 10.8
          lifeMin 0.08
          speedMin 0
          colorMin 255 240 200 255
          colorMax 255 240 200 255
        }
        PStage {
          blend ADDI
          sizeMin 19.8
          lifeMin 0
          colorMin 255 170 80 255
          colorMax 255 170 80 255
        }
        PStage {
          blend ADDI
          sizeMin 21.6
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
      animTime 1.265
      spawnInterval 0.001
      spawnDelay -0.02
      countMin 5
      countMax 7
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
          sizeMin 1.8
          sizeMax 2.52
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.15
          rotSpeedMin -40
          rotSpeedMax 40
          speedMin 27
          speedMax 45
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 5.04
          sizeMax 7.2
          lifeMin 0.77
          lifeMax 1.1
          speedMin 4.2
          speedMax 7.2
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 7.92
          sizeMax 9.72
          speedMin 0.6
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
      countMin 12
      countMax 16
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 180
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.72 0
      priority 0.5
      stages [
        PStage {
          blend ADDI
          sizeMin 0.18
          sizeMax 0.32
          lifeMin 0.6
          lifeMax 1.1
          speedMin 42
          speedMax 78
          colorMin 255 230 170 255
          colorMax 255 230 170 255
        }
        PStage {
          blend ADDI
          sizeMin 0.11
          speedMin 6
          colorMin 160 60 10 255
          colorMax 160 60 10 255
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
      spawnDelay 0.18
      countMin 5
      countMax 7
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 150
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0.0072 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 3.24
          sizeMax 4.32
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.5
          rotSpeedMin -25
          rotSpeedMax 25
          speedMin 9.6
          speedMax 14.4
          colorMin 55 50 46 215
          colorMax 55 50 46 215
        }
        PStage {
          blend NORM
          sizeMin 7.2
          sizeMax 9.36
          lifeMin 2.6
          lifeMax 3.4
          speedMin 1.8
          speedMax 3
          colorMin 90 85 81 170
          colorMax 90 85 81 170
        }
        PStage {
          blend NORM
          sizeMin 10.8
          sizeMax 12.96
          speedMin 0.6
          colorMin 115 110 106 0
          colorMax 115 110 106 0
        }
      ]
    }
  ]
}
