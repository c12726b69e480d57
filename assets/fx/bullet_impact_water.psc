// Bullets striking the water: a thin white spout.
PConfig {
  sizeScale 128
  timeScale 1
  groups [
    PGroup {
      name "spout"
      type CAM
      animIdMin 8
      animIdMax 8
      animTime 0.8
      spawnInterval 0.001
      spawnDelay -0.02
      countMin 2
      countMax 3
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 10
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.4 0
      priority 0.7
      stages [
        PStage {
          blend NORM
          sizeMin 0.36
          sizeMax 0.54
          lifeMin 0.15
          speedMin 26
          speedMax 36
          colorMin 240 248 255 230
          colorMax 240 248 255 230
        }
        PStage {
          blend NORM
          sizeMin 1.08
          sizeMax 1.44
          lifeMin 0.5
          lifeMax 0.7
          speedMin 4
          colorMin 230 240 250 160
          colorMax 230 240 250 160
        }
        PStage {
          blend NORM
          sizeMin 1.56
          sizeMax 1.92
          speedMin 0.5
          colorMin 225 238 250 0
          colorMax 225 238 250 0
        }
      ]
    }
  ]
}
