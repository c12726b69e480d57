// Bullets striking armour: a shower of sparks and a wisp of smoke.
PConfig {
  sizeScale 128
  timeScale 1
  groups [
    PGroup {
      name "sparks"
      type CAM
      animIdMin 6
      animIdMax 6
      animTime 1
      spawnInterval 0.001
      spawnDelay -0.03
      countMin 6
      countMax 9
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 180
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 -0.096 0
      priority 0.5
      stages [
        PStage {
          blend ADDI
          sizeMin 0.04
          sizeMax 0.06
          lifeMin 0.6
          lifeMax 1.1
          speedMin 7.2
          speedMax 12
          colorMin 255 230 170 255
          colorMax 255 230 170 255
        }
        PStage {
          blend ADDI
          sizeMin 0.02
          speedMin 1.2
          colorMin 160 60 10 255
          colorMax 160 60 10 255
        }
      ]
    }
    PGroup {
      name "wisp"
      type CAM
      animIdMin 0
      animIdMax 3
      animTime 1
      spawnInterval 0
      spawnDelay 0
      countMin 1
      countMax 1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 30
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 0.6
      stages [
        PStage {
          blend NORM
          sizeMin 0.36
          sizeMax 0.48
          lifeMin 0.2
          speedMin 3
          speedMax 5
          colorMin 90 90 90 160
          colorMax 90 90 90 160
        }
        PStage {
          blend NORM
          sizeMin 1.2
          sizeMax 1.56
          speedMin 0.5
          colorMin 120 120 120 0
          colorMax 120 120 120 0
        }
      ]
    }
  ]
}
