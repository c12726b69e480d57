// The HUD's marker passes: the radar with the approach lamp, then the
// target markers with the gunsight.
#include "screens/hud/PlaneHud.h"

#include "screens/hud/HudMarkers.h"
#include "ui/TextFitLog.h"

void PlaneHud::drawRadarPass()
{
    if (!m_state.objects)
        return;
    CSprite& s = *m_sheet;
    HudElementList& list = HudElementList::instance();
    const HudMarkerFrame& frame = m_state.markers;
    if (radarOn) {
        const CSprite::Rect place = elementRect(&s, HudElementList::kRadarPlace);
        list.layoutRadar(radarLarge, place.x, place.y, place.w, place.h, s.moduleWidth(HudElementList::kRadarRim),
                         frame.screenWidth, frame.screenHeight);
        // The radar's highlight pulses with the dials' shared phase.
        const bool highlighted = dialHighlight[kRadarHighlight];
        list.drawRadar(s, frame, dialPulse, highlighted);
        if (textFitLog().enabled()) {
            textFitLog().pushFrame({place.x, place.y, place.w, place.h}, highlighted ? "HudRadar highlighted" : "HudRadar",
                                   false);
            textFitLog().popFrame();
        }
    }
    const CSprite::Rect lamp = elementRect(&s, HudElementList::kLampModule);
    list.drawTargetBox(s, frame, lamp.x, lamp.y);
    s.setColor(tint);
}

void PlaneHud::drawMarkerPass()
{
    if (!m_state.objects)
        return;
    HudElementList::instance().drawMarkers(*m_sheet, m_state.markers, *m_state.objects);
    m_sheet->setColor(tint);
}
