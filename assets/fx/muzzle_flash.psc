// A gun's muzzle flash.
PConfig {
  sizeScale 128
  timeScale 1
  groups [
    PGroup {
      name "flash"
      type CAM
      animIdMin 12
      animIdMax 12
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
          sizeMin 0.42
          sizeMax 0.54
          lifeMin 0.05
          speedMin 0
          colorMin 255 240 200 255
          colorMax 255 240 200 255
        }
        PStage {
          blend ADDI
          sizeMin 0.24
          sizeMax 0.3
          colorMin 120 60 10 255
          colorMax 120 60 10 255
        }
      ]
    }
  ]
}
