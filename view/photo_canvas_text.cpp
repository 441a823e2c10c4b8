// CPhotoCanvas's text-object commands; the mouse work is in TextObjectTool.
#include "view/photo_canvas.h"

namespace ombrik {

ObjectView CPhotoCanvas::objectView() const
{
    return ObjectView{m_zoom, m_photoRect.topLeft(), m_scrollX, m_scrollY};
}

void CPhotoCanvas::addTextObject(const TextTemplate& templ)
{
    m_text.canvasTemplate() = templ;
    if (!m_text.add(templ, m_visibleRect, m_zoom))
        return;
    m_brushMode = false;
    refresh();
}

void CPhotoCanvas::applyTemplateToSelected(const TextTemplate& templ)
{
    m_text.canvasTemplate() = templ;
    m_text.applyTemplate(templ);
    refresh();
}

void CPhotoCanvas::updateSelectedText(const TextTemplate& templ)
{
    m_text.canvasTemplate().text = templ.text;
    if (m_text.updateText(templ))
        refresh();
}

} // namespace ombrik
