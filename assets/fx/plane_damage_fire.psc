// A burning engine: a flickering flame in a dark smoke trail.
PConfig {
  sizeScale 128
  timeScale 1
  groups [
    PGroup {
      name "flames"
      type CAM
      animIdMin 5
      animIdMax 5
      animTime 0.3
      spawnInterval 0.025
      spawnDelay 0
      countMin -1
      countMax -1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 15
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 1.2
      stages [
        PStage {
          blend ADAL
          sizeMin 0.9
          sizeMax 1.2
          lifeMin 0.2
          lifeMax 0.3
          rotSpeedMin -60
          rotSpeedMax 60
          speedMin 3
          speedMax 5
          colorMin 255 255 255 255
          colorMax 255 255 255 255
        }
        PStage {
          blend ADAL
          sizeMin 1.5
          sizeMax 1.92
          lifeMin 0.2
          speedMin 1
          colorMin 255 210 170 220
          colorMax 255 210 170 220
        }
        PStage {
          blend ADAL
          sizeMin 0.6
          sizeMax 0.9
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
      spawnInterval 0.04
      spawnDelay 0
      countMin -1
      countMax -1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 25
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 0.8
      stages [
        PStage {
          blend NORM
          sizeMin 0.9
          sizeMax 1.2
          lifeMin 0.3
          speedMin 2
          speedMax 4
          colorMin 40 36 34 200
          colorMax 40 36 34 200
        }
        PStage {
          blend NORM
          sizeMin 3
          sizeMax 3.9
          lifeMin 1.8
          lifeMax 2.4
          speedMin 1
          colorMin 70 68 66 120
          colorMax 70 68 66 120
        }
        PStage {
          blend NORM
          sizeMin 4.8
          sizeMax 6
          speedMin 0.2
          colorMin 100 100 100 0
          colorMax 100 100 100 0
        }
      ]
    }
  ]
}
