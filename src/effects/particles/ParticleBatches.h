#pragma once

class ParticleSpriteBatch;
struct ParticleAtlas;
class Texture2D;

// The particle sprite batches of the three draw passes (2 far, 1 near, 0
// late), filled by PSystem::draw and drawn by the scene at its points of the
// frame. The sheet is sprite set 3 (its low-detail variant below tier 2).

// Once a frame before drawEffects: makes the streaming buffer on first use
// (96 bytes a particle, 128 with the top-quality flag), reads the sheet's
// animations and empties the three batches in the current vertex mode.
void drawParticleBatches();
// The pass's batch; null for another pass number.
ParticleSpriteBatch* particleBatch(int pass);
// The animations of the particle sheet; null until the sheet has loaded.
const ParticleAtlas* particleAtlas();
// Quads of the pass; the scene reads them as its per-pass counters.
int particleBatchCount(int pass);
// Draws the pass's quads under the current view and projection (depth test
// without depth writes, premultiplied blending) and empties the batch.
void flushParticleBatch(int pass);

// Draws with this atlas and texture instead of sprite set 3's (tests, tools);
// the texture is not owned and may be null (white).
void useParticleSheet(const ParticleAtlas& atlas, const Texture2D* texture);
// Frees the buffer and forgets the sheet (context loss, exit).
void releaseParticleBatches();
