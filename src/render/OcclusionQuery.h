#pragma once
#include "platform/ManagedArray.h"
#include "render/gl/GlObject.h"

#include <cstdint>

// A GL query counting the samples that pass the depth test between begin and
// end. On ES contexts only "any sample passed" exists, so the count is then 0
// or 1; callers test it against 0. Check Graphics::occlusionQuerySupported
// before making one: without support `create` fails and nothing is counted.
class OcclusionQuery final : public ManagedArray<OcclusionQuery, 8>, private GlObject {
public:
    OcclusionQuery() = default;
    ~OcclusionQuery();
    OcclusionQuery(const OcclusionQuery&) = delete;
    OcclusionQuery& operator=(const OcclusionQuery&) = delete;

    [[nodiscard]] bool create();
    void destroy();
    bool isValid() const { return m_glName != 0; }

    void begin();
    void end();
    // True once the result of the last begin/end pair is ready (the game reads
    // it frames later, so this normally never waits).
    bool resultAvailable() const;
    // Waits for the result when it is not ready; false when no query was issued.
    [[nodiscard]] bool result(std::uint32_t& samples);
    // The last result read; 0 before any.
    std::uint32_t lastResult() const { return m_result; }

private:
    void freeGlNames() override;

    unsigned int m_glName = 0;
    bool m_issued = false;
    bool m_active = false;
    std::uint32_t m_result = 0;
};
