// An aircraft crashing on the ground: fireball, thrown earth, debris and a thick smoke cloud.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_SND_2
  soundDelay 0.05
  debrisOil 0.4
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
      countMin 8
      countMax 10
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
          sizeMin 3.3
          sizeMax 4.62
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.15
          rotSpeedMin -40
          rotSpeedMax 40
          speedMin 49.5
          speedMax 82.5
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 9.24
          sizeMax 13.2
          lifeMin 0.98
          lifeMax 1.4
          speedMin 7.7
          speedMax 13.2
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 14.52
          sizeMax 17.82
          speedMin 1.1
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
      countMax 12
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
          colorMin 120 100 76 230
          colorMax 120 100 76 230
        }
        PStage {
          blend NORM
          sizeMin 7.2
          sizeMax 9.6
          lifeMin 1.6
          lifeMax 2.2
          speedMin 4
          speedMax 8
          colorMin 150 128 100 170
          colorMax 150 128 100 170
        }
        PStage {
          blend NORM
          sizeMin 12
          sizeMax 15
          speedMin 1
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
      countMin 8
      countMax 11
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 120
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -3 0
      priority 0.6
      stages [
        PStage {
          blend NORM
          sizeMin 1.08
          sizeMax 1.8
          lifeMin 1.4
          lifeMax 2
          rotSpeedMin -500
          rotSpeedMax 500
          speedMin 54
          speedMax 96
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend NORM
          sizeMin 1.08
          sizeMax 1.8
          speedMin 24
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
      countMin 14
      countMax 18
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 180
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -1.2 0
      priority 0.5
      stages [
        PStage {
          blend ADDI
          sizeMin 0.3
          sizeMax 0.54
          lifeMin 0.6
          lifeMax 1.1
          speedMin 70
          speedMax 130
          colorMin 255 230 170 255
          colorMax 255 230 170 255
        }
        PStage {
          blend ADDI
          sizeMin 0.18
          speedMin 10
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
      countMin 10
      countMax 12
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 150
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0.0144 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 6.48
          sizeMax 8.64
          aspectMin 0.9
          aspectMax 1.1
          lifeMin 0.5
          rotSpeedMin -25
          rotSpeedMax 25
          speedMin 19.2
          speedMax 28.8
          colorMin 40 36 32 215
          colorMax 40 36 32 215
        }
        PStage {
          blend NORM
          sizeMin 14.4
          sizeMax 18.72
          lifeMin 2.6
          lifeMax 3.4
          speedMin 3.6
          speedMax 6
          colorMin 75 71 67 170
          colorMax 75 71 67 170
        }
        PStage {
          blend NORM
          sizeMin 21.6
          sizeMax 25.92
          speedMin 1.2
          colorMin 100 96 92 0
          colorMax 100 96 92 0
        }
      ]
    }
  ]
}
