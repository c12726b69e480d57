// Bullets striking the ground: a spurt of earth and dust.
PConfig {
  sizeScale 128
  timeScale 1
  groups [
    PGroup {
      name "spurt"
      type CAM
      animIdMin 0
      animIdMax 3
      animTime 1
      spawnInterval 0.001
      spawnDelay -0.02
      countMin 3
      countMax 4
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 25
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.3 0
      priority 0.7
      stages [
        PStage {
          blend NORM
          sizeMin 0.48
          sizeMax 0.72
          lifeMin 0.15
          speedMin 22
          speedMax 34
          colorMin 110 92 70 230
          colorMax 110 92 70 230
        }
        PStage {
          blend NORM
          sizeMin 1.5
          sizeMax 2.1
          lifeMin 0.8
          lifeMax 1.1
          speedMin 3
          colorMin 150 132 110 150
          colorMax 150 132 110 150
        }
        PStage {
          blend NORM
          sizeMin 2.4
          sizeMax 3
          speedMin 0.5
          colorMin 170 155 135 0
          colorMax 170 155 135 0
        }
      ]
    }
  ]
}
