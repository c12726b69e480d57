// The acrobatic smoke: a thick white trail behind the airplane.
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
      spawnInterval 0.03
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
          colorMin 235 235 235 200
          colorMax 235 235 235 200
        }
        PStage {
          blend NORM
          sizeMin 2.4
          sizeMax 3.3
          lifeMin 3.0
          lifeMax 4.0
          speedMin 1
          colorMin 240 240 240 150
          colorMax 240 240 240 150
        }
        PStage {
          blend NORM
          sizeMin 6.0
          sizeMax 8.0
          speedMin 0.2
          colorMin 245 245 245 0
          colorMax 245 245 245 0
        }
      ]
    }
  ]
}
