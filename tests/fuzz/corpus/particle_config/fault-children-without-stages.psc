PConfig { groups [ PGroup { childGrp 0 countMin 2147483647 countMax 2147483647 spawnInterval 0.00001 stages [ PStage { childTime 0 lifeMin 1 } PStage { } ] } PGroup { childGrp 0 } ] }
