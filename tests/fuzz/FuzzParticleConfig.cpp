// Particle descriptions from the data folder, a pak or a map's own files:
// read as a PConfig record and run as a particle system for a few frames,
// drawn into the particle batches, so hostile numbers are exercised too.
#include "FuzzTarget.h"

#include "effects/EffectList.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "effects/particles/ParticleBatches.h"
#include "platform/CSerializable.h"
#include "render/fx/ParticleSprites.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        ParticleAtlas atlas;
        atlas.animations = {{{0.0f, 0.0f, 0.5f, 0.5f}, {0.5f, 0.0f, 1.0f, 0.5f}}, {}};
        useParticleSheet(atlas, nullptr);
    }
    fuzz::silenceLog();
    PConfig config;
    std::string error;
    (void)readRecord(fuzz::text(data, size), "fuzz.psc", config, error);
    config.buildEmitters();
    auto* system = new PSystem(&config, {0.0f, 1.0f, 0.0f});
    system->setPosition(0.0f, 0.0f, -50.0f);
    addEffect(system);
    for (int frame = 0; frame < 8; ++frame) {
        updateEffects(frame == 4 ? 0.0f : 0.05f);
        drawParticleBatches();
        for (int pass = 2; pass >= 0; --pass) {
            drawEffects(pass);
            flushParticleBatch(pass);
        }
    }
    clearEffects();
    return 0;
}
