PConfig { timeSkip 1e30 groups [ PGroup { countMin -1 countMax -1 spawnInterval 1e-30 animTime 1e-30 stages [ PStage { sizeMin 1 lifeMin 1 aspectMin -5 } PStage { } ] } ] }
