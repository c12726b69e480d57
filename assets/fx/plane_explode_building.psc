// An aircraft crashing into a building: fireball, rubble and grey dust.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_TERRAIN
  soundDelay 0.05
  debrisOil 0.3
  debrisSparks 0.7
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
          sizeMin 18
          lifeMin 0.08
          speedMin 0
          colorMin 255 240 200 255
          colorMax 255 240 200 255
        }
        PStage {
          blend ADDI
          sizeMin 33
          lifeMin 0
          colorMin 255 170 80 255
          colorMax 255 170 80 255
        }
        PStage {
          blend ADDI
          sizeMin 36
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
      countMin 7
      countMax 9
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
          sizeMin 3
          sizeMax 4.2
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.15
          rotSpeedMin -40
          rotSpeedMax 40
          speedMin 45
          speedMax 75
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 8.4
          sizeMax 12
          lifeMin 0.98
          lifeMax 1.4
          speedMin 7
          speedMax 12
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 13.2
          sizeMax 16.2
          speedMin 1
          colorMin 255 255 255 0
          colorMax 255 255 255 0
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
      countMin 10
      countMax 14
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 120
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -3.25 0
      priority 0.6
      stages [
        PStage {
          blend NORM
          sizeMin 1.17
          sizeMax 1.95
          lifeMin 1.4
          lifeMax 2
          rotSpeedMin -500
          rotSpeedMax 500
          speedMin 58.5
          speedMax 104
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 1.17
          sizeMax 1.95
          speedMin 26
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
      countMin 8
      countMax 10
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 40
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.4 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 2.4
          sizeMax 3.6
          lifeMin 0.3
          rotSpeedMin -30
          rotSpeedMax 30
          speedMin 40
          speedMax 70
          colorMin 120 116 110 230
          colorMax 120 116 110 230
        }
        PStage {
          blend NORM
          sizeMin 7.2
          sizeMax 9.6
          lifeMin 1.6
          lifeMax 2.2
          speedMin 4
          speedMax 8
          colorMin 150 144 134 170
          colorMax 150 144 134 170
        }
        PStage {
          blend NORM
          sizeMin 12
          sizeMax 15
          speedMin 1
          colorMin 170 164 154 0
          colorMax 170 164 154 0
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
      countMin 9
      countMax 11
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 150
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0.0132 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 5.94
          sizeMax 7.92
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.5
          rotSpeedMin -25
          rotSpeedMax 25
          speedMin 17.6
          speedMax 26.4
          colorMin 70 68 64 215
          colorMax 70 68 64 215
        }
        PStage {
          blend NORM
          sizeMin 13.2
          sizeMax 17.16
          lifeMin 2.6
          lifeMax 3.4
          speedMin 3.3
          speedMax 5.5
          colorMin 105 103 99 170
          colorMax 105 103 99 170
        }
        PStage {
          blend NORM
          sizeMin 19.8
          sizeMax 23.76
          speedMin 1.1
          colorMin 130 128 124 0
          colorMax 130 128 124 0
        }
      ]
    }
  ]
}
