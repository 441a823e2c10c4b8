// CPhotoCanvas's text-object commands; the mouse work is in TextObjectTool.
#include "canvas/photo_canvas.h"

#include <QImage>
#include <QPainter>

#include <cstring>

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

void CPhotoCanvas::mergeDown()
{
    if (!m_doc.hasPhoto())
        return;
    // Rendered as for export: zoom 1, no scrolling, no handles.
    const int b = m_doc.frameBorder();
    QImage surface(m_doc.width() + 2 * b, m_doc.height() + 2 * b, QImage::Format_RGB32);
    renderInto(surface, true);
    surface = surface.copy(b, b, m_doc.width(), m_doc.height()).convertToFormat(QImage::Format_BGR888);
    PixelBuffer merged(m_doc.width(), m_doc.height(), 3);
    for (int y = 0; y < surface.height(); ++y)
        std::memcpy(merged.at(0, y), surface.constScanLine(y), merged.stride());
    m_doc.mergeIntoPhoto(merged);
    refresh();
}

} // namespace ombrik
