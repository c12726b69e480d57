// A missile striking the ground: a fireball in a fountain of earth.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_SND_1
  soundDelay 0.05
  debrisSparks 0.5
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
      animTime 1.15
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
          sizeMin 1.95
          sizeMax 2.73
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.15
          rotSpeedMin -40
          rotSpeedMax 40
          speedMin 29.25
          speedMax 48.75
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 5.46
          sizeMax 7.8
          lifeMin 0.7
          lifeMax 1
          speedMin 4.55
          speedMax 7.8
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 8.58
          sizeMax 10.53
          speedMin 0.65
          colorMin 255 255 255 0
          colorMax 255 255 255 0
        }
      ]
    }
    PGroup {
      name "dirt"
      type CAM
      animIdMin 0
      animIdMax 3
      animTime 1
      spawnInterval 0.001
      spawnDelay -0.03
      countMin 7
      countMax 9
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 40
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.28 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 1.68
          sizeMax 2.52
          lifeMin 0.3
          rotSpeedMin -30
          rotSpeedMax 30
          speedMin 28
          speedMax 49
          colorMin 120 100 76 230
          colorMax 120 100 76 230
        }
        PStage {
          blend NORM
          sizeMin 5.04
          sizeMax 6.72
          lifeMin 1.6
          lifeMax 2.2
          speedMin 2.8
          speedMax 5.6
          colorMin 150 128 100 170
          colorMax 150 128 100 170
        }
        PStage {
          blend NORM
          sizeMin 8.4
          sizeMax 10.5
          speedMin 0.7
          colorMin 170 148 120 0
          colorMax 170 148 120 0
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
      countMin 5
      countMax 7
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 120
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -1.75 0
      priority 0.6
      stages [
        PStage {
          blend NORM
          sizeMin 0.63
          sizeMax 1.05
          lifeMin 1.4
          lifeMax 2
          rotSpeedMin -500
          rotSpeedMax 500
          speedMin 31.5
          speedMax 56
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 0.63
          sizeMax 1.05
          speedMin 14
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
      countMin 5
      countMax 7
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
          sizeMin 3.78
          sizeMax 5.04
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.5
          rotSpeedMin -25
          rotSpeedMax 25
          speedMin 11.2
          speedMax 16.8
          colorMin 60 52 44 215
          colorMax 60 52 44 215
        }
        PStage {
          blend NORM
          sizeMin 8.4
          sizeMax 10.92
          lifeMin 2.6
          lifeMax 3.4
          speedMin 2.1
          speedMax 3.5
          colorMin 95 87 79 170
          colorMax 95 87 79 170
        }
        PStage {
          blend NORM
          sizeMin 12.6
          sizeMax 15.12
          speedMin 0.7
          colorMin 120 112 104 0
          colorMax 120 112 104 0
        }
      ]
    }
  ]
}
