#include "effects/EffectList.h"

#include "effects/EffectScene.h"
#include "effects/IEffect.h"
#include "render/Graphics.h"
#include "render/assets/ModelBuffers.h"

namespace {
// The sentinels: never updated or drawn; walks stop at them by identity.
struct Sentinel final : IEffect {
    explicit Sentinel(float k) { key = k; }
};

struct List {
    Sentinel head{-1.0e37f}, tail{1.0e37f};
    bool walking = false;          // updateEffects is running
    bool sortAfterWalk = false;    // something was linked meanwhile
    IEffect* walkNext = nullptr;   // the element the walk goes to next
    IEffect* current = nullptr;    // the element being updated
    bool currentRemoved = false;   // removeEffect asked for it during its own update
    List()
    {
        head.next = &tail;
        tail.prev = &head;
    }
};

List& list()
{
    static List* all = new List;   // never destroyed: effects may outlive static teardown
    return *all;
}

void unlink(IEffect* e)
{
    e->prev->next = e->next;
    e->next->prev = e->prev;
    e->next = e->prev = nullptr;
}

// Swaps x with its successor y.
void swapWithNext(IEffect* x)
{
    IEffect* y = x->next;
    IEffect* before = x->prev;
    IEffect* after = y->next;
    before->next = y;
    y->prev = before;
    y->next = x;
    x->prev = y;
    x->next = after;
    after->prev = x;
}
}  // namespace

void IEffect::update(float) {}
void IEffect::drawModel() {}
void IEffect::drawModelVariant() {}
void IEffect::draw(int) {}
bool IEffect::isAlive() const { return false; }
bool IEffect::isVisible() const { return false; }
int IEffect::kind() const { return 0; }
void IEffect::ownerGone(PSystemParent*) {}
int IEffect::passMask() const { return 2; }

int IEffect::takeId()
{
    static int serial = 0;
    return serial++;
}

PSystemParent::~PSystemParent()
{
    for (IEffect* e = firstEffect(); e; e = nextEffect(e))
        e->ownerGone(this);
}

void PSystemParent::systemGone(PSystem*) {}

void linkEffect(IEffect* e)
{
    if (!e || e->next || e->prev)
        return;
    List& l = list();
    e->next = l.head.next;
    e->prev = &l.head;
    l.head.next->prev = e;
    l.head.next = e;
}

void addEffect(IEffect* e)
{
    linkEffect(e);
    if (list().walking)
        list().sortAfterWalk = true;
    else
        sortEffects();
}

void sortEffects()
{
    List& l = list();
    if (l.head.next == &l.tail || l.head.next->next == &l.tail)
        return;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        IEffect* x = l.head.next;
        while (x->next != &l.tail) {
            IEffect* y = x->next;
            if (y->key < x->key) {   // strict: equal keys and NaN stay in order
                swapWithNext(x);
                swapped = true;
            } else {
                x = y;
            }
        }
    }
}

void updateEffects(float dt)
{
    List& l = list();
    l.walking = true;
    for (IEffect* e = l.head.next; e != &l.tail; e = l.walkNext) {
        l.walkNext = e->next;
        l.current = e;
        l.currentRemoved = false;
        e->update(dt);
        l.current = nullptr;
        // Effects linked meanwhile sit at the near end, before e; one removed
        // meanwhile was stepped over by removeEffect. Either way e's successor
        // is where the walk goes on.
        l.walkNext = e->next;
        if (l.currentRemoved || !e->isAlive()) {
            unlink(e);
            delete e;
        }
    }
    l.walking = false;
    l.walkNext = nullptr;
    l.sortAfterWalk = false;
    sortEffects();
}

void drawEffects(int pass)
{
    List& l = list();
    for (IEffect* e = l.tail.prev; e != &l.head; e = e->prev) {
        if (e->isVisible())
            e->draw(pass);
    }
}

void drawEffectsModelPass(bool near, bool variant)
{
    Graphics* device = graphics();
    if (device) {
        device->pushState();
        ModelBuffers::bindShared();
        device->invalidateVertexLayout();
    }
    const float viewDistanceSq = effectScene().viewDistanceSq;
    List& l = list();
    for (IEffect* e = l.tail.prev; e != &l.head; e = e->prev) {
        if (!(e->passMask() & 1) || !e->isVisible())
            continue;
        const bool inBand = near ? e->key <= kNearEffectKey : e->key > kNearEffectKey;
        if (!inBand || !(e->key < viewDistanceSq))
            continue;
        variant ? e->drawModelVariant() : e->drawModel();
    }
    if (device)
        device->popState();
}

void clearEffects()
{
    List& l = list();
    while (l.head.next != &l.tail) {
        IEffect* e = l.head.next;
        if (l.walkNext == e)
            l.walkNext = e->next;
        unlink(e);
        delete e;
    }
}

IEffect* firstEffect()
{
    List& l = list();
    return l.head.next == &l.tail ? nullptr : l.head.next;
}

IEffect* nextEffect(const IEffect* e)
{
    if (!e || !e->next || e->next == &list().tail)
        return nullptr;
    return e->next;
}

int effectCount()
{
    int n = 0;
    for (IEffect* e = firstEffect(); e; e = nextEffect(e))
        ++n;
    return n;
}

IEffect* findEffect(int id)
{
    for (IEffect* e = firstEffect(); e; e = nextEffect(e)) {
        if (e->id == id)
            return e;
    }
    return nullptr;
}

void removeEffect(IEffect* e)
{
    if (!e || !e->next || !e->prev)
        return;
    List& l = list();
    if (e == l.current) {
        l.currentRemoved = true;   // deleted by the walk once its update returns
        return;
    }
    if (l.walkNext == e)
        l.walkNext = e->next;
    unlink(e);
    delete e;
}
