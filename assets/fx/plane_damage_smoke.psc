// A damaged aircraft trailing grey smoke.
PConfig {
  sizeScale 128
  timeScale 1
  groups [
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
          sizeMin 0.72
          sizeMax 0.96
          lifeMin 0.3
          rotSpeedMin -30
          rotSpeedMax 30
          speedMin 2
          speedMax 4
          colorMin 120 120 120 170
          colorMax 120 120 120 170
        }
        PStage {
          blend NORM
          sizeMin 2.4
          sizeMax 3.3
          lifeMin 1.6
          lifeMax 2.2
          speedMin 1
          colorMin 140 140 140 110
          colorMax 140 140 140 110
        }
        PStage {
          blend NORM
          sizeMin 4.2
          sizeMax 5.4
          speedMin 0.2
          colorMin 160 160 160 0
          colorMax 160 160 160 0
        }
      ]
    }
  ]
}
