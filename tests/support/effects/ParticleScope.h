#pragma once
#include "effects/EffectList.h"
#include "effects/IEffect.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "support/TempDir.h"

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

// The project's own particle descriptions copied into a test's data root, so
// that code which starts effects by name makes real particle systems; the
// test then reads them from the effect list. Empties the list and the
// description cache on both ends.
class ParticleScope {
public:
    ParticleScope(const TempDir& data, std::initializer_list<const char*> names)
    {
        clearEffects();
        freeParticleConfigs();
        for (const char* name : names) {
            std::ifstream in(std::string(SKYFRONT_SOURCE_DIR "/assets/fx/") + name, std::ios::binary);
            data.write(std::string("data/FX/") + name,
                       std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
            m_configs.push_back(getParticleConfig(name));
        }
    }
    ~ParticleScope()
    {
        clearEffects();
        freeParticleConfigs();
    }
    ParticleScope(const ParticleScope&) = delete;
    ParticleScope& operator=(const ParticleScope&) = delete;

    // Where the listed systems made from these descriptions were placed.
    std::vector<Vec3> positions() const
    {
        std::vector<Vec3> out;
        for (IEffect* e = firstEffect(); e; e = nextEffect(e))
            if (e->kind() == 1)
                for (const PConfig* c : m_configs)
                    if (static_cast<PSystem*>(e)->config == c)
                        out.push_back(static_cast<PSystem*>(e)->position);
        return out;
    }

private:
    std::vector<const PConfig*> m_configs;
};
