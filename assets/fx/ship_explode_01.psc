// A ship's magazine going up: a large fireball, burning debris and a towering smoke cloud.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_SHIP
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
          sizeMin 28.8
          lifeMin 0.08
          speedMin 0
          colorMin 255 240 200 255
          colorMax 255 240 200 255
        }
        PStage {
          blend ADDI
          sizeMin 52.8
          lifeMin 0
          colorMin 255 170 80 255
          colorMax 255 170 80 255
        }
        PStage {
          blend ADDI
          sizeMin 57.6
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
      animTime 2.07
      spawnInterval 0.001
      spawnDelay -0.02
      countMin 9
      countMax 12
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
          sizeMin 5.1
          sizeMax 7.14
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.15
          rotSpeedMin -40
          rotSpeedMax 40
          speedMin 76.5
          speedMax 127.5
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 14.28
          sizeMax 20.4
          lifeMin 1.26
          lifeMax 1.8
          speedMin 11.9
          speedMax 20.4
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 22.44
          sizeMax 27.54
          speedMin 1.7
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
      gravity 0 -4.5 0
      priority 0.6
      stages [
        PStage {
          blend NORM
          sizeMin 1.62
          sizeMax 2.7
          lifeMin 1.4
          lifeMax 2
          rotSpeedMin -500
          rotSpeedMax 500
          speedMin 81
          speedMax 144
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 1.62
          sizeMax 2.7
          speedMin 36
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
      countMin 20
      countMax 28
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 180
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -1.8 0
      priority 0.5
      stages [
        PStage {
          blend ADDI
          sizeMin 0.45
          sizeMax 0.81
          lifeMin 0.6
          lifeMax 1.1
          speedMin 105
          speedMax 195
          colorMin 255 230 170 255
          colorMax 255 230 170 255
        }
        PStage {
          blend ADDI
          sizeMin 0.27
          speedMin 15
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
      spawnDelay 0.25
      countMin 12
      countMax 14
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 150
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0.0216 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 9.72
          sizeMax 12.96
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.5
          rotSpeedMin -25
          rotSpeedMax 25
          speedMin 28.8
          speedMax 43.2
          colorMin 30 28 26 215
          colorMax 30 28 26 215
        }
        PStage {
          blend NORM
          sizeMin 21.6
          sizeMax 28.08
          lifeMin 3.5
          lifeMax 4.5
          speedMin 5.4
          speedMax 9
          colorMin 65 63 61 170
          colorMax 65 63 61 170
        }
        PStage {
          blend NORM
          sizeMin 32.4
          sizeMax 38.88
          speedMin 1.8
          colorMin 90 88 86 0
          colorMax 90 88 86 0
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
      countMin 6
      countMax 8
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
  ]
}
