// A burning wreck falling: flames at the wreck and a trail of black smoke behind it.
PConfig {
  sizeScale 128
  timeScale 1
  groups [
    PGroup {
      name "flames"
      type CAM
      animIdMin 5
      animIdMax 5
      animTime 0.35
      spawnInterval 0.02
      spawnDelay 0
      countMin -1
      countMax -1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 20
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 1.2
      stages [
        PStage {
          blend ADAL
          sizeMin 1.8
          sizeMax 2.4
          lifeMin 0.25
          lifeMax 0.35
          rotSpeedMin -60
          rotSpeedMax 60
          speedMin 4
          speedMax 8
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend ADAL
          sizeMin 3
          sizeMax 3.9
          lifeMin 0.2
          lifeMax 0.3
          speedMin 2
          colorMin 255 220 180 230
          colorMax 255 220 180 230
        }
        PStage {
          blend ADAL
          sizeMin 1.2
          sizeMax 1.8
          speedMin 0
          colorMin 255 150 90 0
          colorMax 255 150 90 0
        }
      ]
    }
    PGroup {
      name "smoke"
      type CAM
      animIdMin 0
      animIdMax 3
      animTime 1
      spawnInterval 0.03
      spawnDelay 0
      countMin -1
      countMax -1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 30
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0.004 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 1.5
          sizeMax 2.1
          lifeMin 0.4
          rotSpeedMin -30
          rotSpeedMax 30
          speedMin 3
          speedMax 6
          colorMin 45 40 36 220
          colorMax 45 40 36 220
        }
        PStage {
          blend NORM
          sizeMin 4.2
          sizeMax 6
          lifeMin 2.2
          lifeMax 2.8
          speedMin 1.5
          colorMin 60 58 56 150
          colorMax 60 58 56 150
        }
        PStage {
          blend NORM
          sizeMin 7.2
          sizeMax 9
          speedMin 0.5
          colorMin 95 95 95 0
          colorMax 95 95 95 0
        }
      ]
    }
  ]
}
