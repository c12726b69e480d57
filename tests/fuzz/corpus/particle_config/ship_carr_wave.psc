// The bow wave and wake foam of a carrier.
PConfig {
  sizeScale 128
  timeScale 1
  groups [
    PGroup {
      name "bow"
      type HTR
      animIdMin 13
      animIdMax 13
      animTime 1
      spawnInterval 0.09
      spawnDelay 0
      countMin -1
      countMax -1
      rotStartMin 0
      rotStartMax 0
      angleMin 80
      angleMax 100
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 0.8
      stages [
        PStage {
          blend NORM
          sizeMin 7.8
          sizeMax 9.36
          aspectMin 2
          aspectMax 2.4
          lifeMin 2.2
          lifeMax 2.8
          speedMin 16.8
          speedMax 22.4
          colorMin 240 248 255 170
          colorMax 240 248 255 170
        }
        PStage {
          blend NORM
          sizeMin 21.84
          sizeMax 26.52
          aspectMin 2.5
          aspectMax 3
          speedMin 4.2
          colorMin 230 240 250 0
          colorMax 230 240 250 0
        }
      ]
    }
    PGroup {
      name "churn"
      type HRZ
      animIdMin 9
      animIdMax 9
      animTime 1
      spawnInterval 0.135
      spawnDelay 0
      countMin -1
      countMax -1
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 90
      emitDir 0 0 0
      posMin 0 0 0
      posMax 0 0 0
      gravity 0 0 0
      priority 0.6
      stages [
        PStage {
          blend NORM
          sizeMin 6.24
          sizeMax 7.8
          lifeMin 1.4
          lifeMax 1.8
          speedMin 4.2
          speedMax 7
          colorMin 245 250 255 150
          colorMax 245 250 255 150
        }
        PStage {
          blend NORM
          sizeMin 14.04
          sizeMax 17.16
          speedMin 0.2
          colorMin 235 245 250 0
          colorMax 235 245 250 0
        }
      ]
    }
  ]
}
