// A burning target on the ground: fire at its foot and a tall column of smoke.
PConfig {
  sizeScale 128
  timeScale 1
  timeSkip 3
  groups [
    PGroup {
      name "fire"
      type CAM
      animIdMin 5
      animIdMax 5
      animTime 0.4
      spawnInterval 0.05
      spawnDelay 0
      countMin -1
      countMax -1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 15
      emitDir 0 0 0
      posMin -3 0 -3
      posMax 3 1 3
      gravity 0 0 0
      priority 1.2
      stages [
        PStage {
          blend ADAL
          sizeMin 2.4
          sizeMax 3.6
          lifeMin 0.4
          lifeMax 0.6
          rotSpeedMin -40
          rotSpeedMax 40
          speedMin 6
          speedMax 10
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend ADAL
          sizeMin 4.2
          sizeMax 5.4
          lifeMin 0.3
          lifeMax 0.4
          speedMin 3
          colorMin 255 220 170 220
          colorMax 255 220 170 220
        }
        PStage {
          blend ADAL
          sizeMin 1.8
          sizeMax 2.4
          speedMin 0
          colorMin 255 140 80 0
          colorMax 255 140 80 0
        }
      ]
    }
    PGroup {
      name "smoke"
      type CAM
      animIdMin 0
      animIdMax 3
      animTime 1
      spawnInterval 0.07
      spawnDelay 0
      countMin -1
      countMax -1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 6
      emitDir 0 0 0
      posMin -2 2 -2
      posMax 2 4 2
      gravity 0.004 0.001 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 3
          sizeMax 4.2
          lifeMin 0.8
          rotSpeedMin -20
          rotSpeedMax 20
          speedMin 16
          speedMax 20
          colorMin 34 32 30 225
          colorMax 34 32 30 225
        }
        PStage {
          blend NORM
          sizeMin 6.6
          sizeMax 8.4
          lifeMin 4.5
          lifeMax 5.5
          speedMin 11
          speedMax 14
          colorMin 62 60 58 170
          colorMax 62 60 58 170
        }
        PStage {
          blend NORM
          sizeMin 12
          sizeMax 15.6
          speedMin 6
          colorMin 120 120 120 0
          colorMax 120 120 120 0
        }
      ]
    }
  ]
}
