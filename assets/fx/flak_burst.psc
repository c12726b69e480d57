// An anti-aircraft shell bursting: a brief flash inside a black puff.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_AIR_SMALL
  soundDelay 0.05
  debrisSparks 0.6
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
          sizeMin 6.3
          lifeMin 0.08
          speedMin 0
          colorMin 255 240 200 255
          colorMax 255 240 200 255
        }
        PStage {
          blend ADDI
          sizeMin 11.55
          lifeMin 0
          colorMin 255 170 80 255
          colorMax 255 170 80 255
        }
        PStage {
          blend ADDI
          sizeMin 12.6
          colorMin 0 0 0 255
          colorMax 0 0 0 255
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
      spawnDelay 0.02
      countMin 4
      countMax 5
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 150
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0.0009 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 2.43
          sizeMax 3.24
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.5
          rotSpeedMin -25
          rotSpeedMax 25
          speedMin 7.2
          speedMax 10.8
          colorMin 25 24 24 215
          colorMax 25 24 24 215
        }
        PStage {
          blend NORM
          sizeMin 5.4
          sizeMax 7.02
          lifeMin 1.6
          lifeMax 2.2
          speedMin 1.35
          speedMax 2.25
          colorMin 60 59 59 170
          colorMax 60 59 59 170
        }
        PStage {
          blend NORM
          sizeMin 8.1
          sizeMax 9.72
          speedMin 0.45
          colorMin 85 84 84 0
          colorMax 85 84 84 0
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
      countMin 6
      countMax 9
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 180
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.48 0
      priority 0.5
      stages [
        PStage {
          blend ADDI
          sizeMin 0.12
          sizeMax 0.22
          lifeMin 0.6
          lifeMax 1.1
          speedMin 28
          speedMax 52
          colorMin 255 230 170 255
          colorMax 255 230 170 255
        }
        PStage {
          blend ADDI
          sizeMin 0.07
          speedMin 4
          colorMin 160 60 10 255
          colorMax 160 60 10 255
        }
      ]
    }
  ]
}
