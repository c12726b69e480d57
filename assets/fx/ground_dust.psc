// Dust blown up from the ground by a landing or a low pass.
PConfig {
  sizeScale 128
  timeScale 1
  groups [
    PGroup {
      name "dust"
      type CAM
      animIdMin 0
      animIdMax 3
      animTime 1
      spawnInterval 0.001
      spawnDelay -0.02
      countMin 8
      countMax 10
      rotStartMin 0
      rotStartMax 360
      angleMin 70
      angleMax 90
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 0.8
      stages [
        PStage {
          blend NORM
          sizeMin 1.8
          sizeMax 2.4
          lifeMin 0.4
          speedMin 10
          speedMax 16
          colorMin 150 130 104 170
          colorMax 150 130 104 170
        }
        PStage {
          blend NORM
          sizeMin 5.4
          sizeMax 7.2
          lifeMin 1.8
          lifeMax 2.4
          speedMin 2
          colorMin 170 152 128 100
          colorMax 170 152 128 100
        }
        PStage {
          blend NORM
          sizeMin 8.4
          sizeMax 10.2
          speedMin 0.5
          colorMin 185 170 150 0
          colorMax 185 170 150 0
        }
      ]
    }
  ]
}
