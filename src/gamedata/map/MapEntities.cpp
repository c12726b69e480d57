#include "gamedata/map/MapEntities.h"

#include "render/assets/Model.h"

#include <cmath>

namespace {
constexpr float kDegToRad = 0.017453292f;

Vec3 boxCorner(const Vec3& lo, const Vec3& hi, int i)
{
    return {(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
}
}  // namespace

Mat4 mapAnglesMatrix(const Vec3& degrees, const Vec3& position)
{
    // Second angle (heading about y), then the first (about x), then the third (about z).
    Mat4 m = mat4Multiply(mat4MakeRotationY(degrees.y * kDegToRad),
                          mat4Multiply(mat4MakeRotationX(degrees.x * kDegToRad),
                                       mat4MakeRotationZ(degrees.z * kDegToRad)));
    m.m[12] = position.x;
    m.m[13] = position.y;
    m.m[14] = position.z;
    return m;
}

void Worldspawn::describe(SerMembers& members)
{
    members.add("centre", centre);
    members.add("ceiling", ceiling);
    members.add("spawn", spawn);
    members.add("spawnAngles", spawnAngles);
    members.add("startHeading", startHeading);
    members.add("startPitch", startPitch);
    members.add("dummyPoint", dummyPoint);
    members.add("lightColor", lightColor);
    members.add("fogDensity", fogDensity);
}

namespace {
constexpr SerEnumValue kItemKinds[] = {
    {EditorItem::kProp, "prop"}, {EditorItem::kRunway, "runway"},
    {EditorItem::kTunnel, "tunnel"}, {EditorItem::kRoad, "road"}};
}  // namespace

void EditorItem::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("kind", kind, kItemKinds);
    members.add("model", model);
    members.add("pos", pos);
    members.add("angles", angles);
    members.add("enabled", enabled);
    members.add("attack", attack);
    members.add("defence", defence);
}

void EditorItem::updateMatrix()
{
    matrix = mapAnglesMatrix(angles, pos);
    if (!modelData) {
        boxMin = boxMax = pos;
        return;
    }
    for (int i = 0; i < 8; ++i) {
        const Vec3 p = mat4TransformPoint(matrix, boxCorner(modelData->boundsMin(), modelData->boundsMax(), i));
        if (i == 0) {
            boxMin = boxMax = p;
            continue;
        }
        boxMin = {std::fmin(boxMin.x, p.x), std::fmin(boxMin.y, p.y), std::fmin(boxMin.z, p.z)};
        boxMax = {std::fmax(boxMax.x, p.x), std::fmax(boxMax.y, p.y), std::fmax(boxMax.z, p.z)};
    }
}

bool EditorItem::isRoad() const { return kind == kRoad || name.find("road_dummy") != std::string::npos; }

MapObject::MapObject(std::string_view unitName)
    : unit(unitName.substr(0, 9))
{
}

void MapObject::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("unit", unit);
    members.add("kind", kind);
    members.add("team", team);
    members.add("pos", pos);
    members.add("angles", angles);
    members.add("active", active);
    members.add("state", state);
    members.add("health", health);
    members.add("player", player);
    members.add("squadron", squadron);
    members.add("skill", skill);
    members.add("path", path);
    members.add("spawn", spawn);
}

void MapObject::setPosition(const Vec3& position)
{
    pos = position;
    updateMatrix();
}

void MapObject::updateMatrix() { matrix = mapAnglesMatrix(angles, pos); }

void MapWaypoint::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("path", path);
    members.add("order", order);
    members.add("pos", pos);
}

void MapLake::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("pos", pos);
    members.add("radius", radius);
    members.add("halfSize", halfSize);
    members.add("level", level);
}

bool MapLake::covers(float x, float z) const
{
    const float dx = x - pos.x, dz = z - pos.z;
    if (radius > 0.0f)
        return dx * dx + dz * dz <= radius * radius;
    return std::fabs(dx) <= halfSize.x && std::fabs(dz) <= halfSize.z;
}
