#pragma once

// Base of every object that holds GL names (textures, buffers, targets,
// programs, queries). The live ones are linked, so the renderer's shut-down
// can free all their names while the context still exists, wherever the
// objects live; their destructors then find no name left to delete.
class GlObject {
public:
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;

    // Frees the names of every live object; the context must be current.
    static void freeAllGlNames();

protected:
    GlObject();
    ~GlObject();
    // Deletes this object's GL names and forgets them; leaves other objects
    // (a target's color texture) alone.
    virtual void freeGlNames() = 0;

private:
    GlObject* m_previous = nullptr;
    GlObject* m_next = nullptr;
};
