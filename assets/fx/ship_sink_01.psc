// A sinking ship: boiling foam, steam and oily smoke for a while.
PConfig {
  sizeScale 128
  timeScale 1
  soundID FXS_EXPL_WATER_BIG
  soundDelay 0.1
  groups [
    PGroup {
      name "foam"
      type HRZ
      animIdMin 9
      animIdMax 9
      animTime 1
      spawnInterval 0.12
      spawnDelay 0
      countMin 40
      countMax 50
      rotStartMin 0
      rotStartMax 360
      angleMin 60
      angleMax 90
      emitDir 0 0 0
      posMin -30 0 -30
      posMax 30 0 30
      gravity 0 0 0
      priority 0.9
      stages [
        PStage {
          blend NORM
          sizeMin 3.6
          sizeMax 5.4
          lifeMin 1.5
          lifeMax 2.2
          speedMin 3
          speedMax 6
          colorMin 235 245 250 190
          colorMax 235 245 250 190
        }
        PStage {
          blend NORM
          sizeMin 9.6
          sizeMax 13.2
          speedMin 0.5
          colorMin 220 235 245 0
          colorMax 220 235 245 0
        }
      ]
    }
    PGroup {
      name "steam"
      type CAM
      animIdMin 0
      animIdMax 3
      animTime 1
      spawnInterval 0.25
      spawnDelay 0
      countMin 18
      countMax 24
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 25
      emitDir 0 0 0
      posMin -20 0 -20
      posMax 20 2 20
      gravity 0 0.01 0
      priority 0.7
      stages [
        PStage {
          blend NORM
          sizeMin 4.8
          sizeMax 7.2
          lifeMin 2.5
          lifeMax 3.5
          speedMin 6
          speedMax 10
          colorMin 200 205 210 120
          colorMax 200 205 210 120
        }
        PStage {
          blend NORM
          sizeMin 14.4
          sizeMax 19.2
          speedMin 2
          colorMin 210 215 220 0
          colorMax 210 215 220 0
        }
      ]
    }
    PGroup {
      name "smoke"
      type CAM
      animIdMin 0
      animIdMax 3
      animTime 1
      spawnInterval 0.35
      spawnDelay 0
      countMin 12
      countMax 16
      rotStartMin 0
      rotStartMax 360
      angleMin 0
      angleMax 15
      emitDir 0 0 0
      posMin -10 0 -10
      posMax 10 0 10
      gravity 0 0.012 0
      priority 0.8
      stages [
        PStage {
          blend NORM
          sizeMin 6
          sizeMax 8.4
          lifeMin 3
          lifeMax 4
          speedMin 8
          speedMax 12
          colorMin 38 36 34 200
          colorMax 38 36 34 200
        }
        PStage {
          blend NORM
          sizeMin 18
          sizeMax 24
          speedMin 2
          colorMin 90 88 86 0
          colorMax 90 88 86 0
        }
      ]
    }
  ]
}
