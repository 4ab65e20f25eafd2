// Embeds one proxy of each kind in a line of a QTextEdit, the way the notes
// editor does, and saves a screenshot (and, if asked, a printed PDF).
//
//     ostrel_demo [screenshot.png] [printed.pdf]
//
// Each proxy is one U+FFFC character whose format carries the index of the
// proxy (never the object itself); a QTextObjectInterface sizes it from the
// proxy's HIMETRIC extent at the layout's resolution and lets it draw itself.

#include "Ostrel/OstrelLib.h"

#include "common/OleDate.h"
#include "component/DispatchDriver.h"
#include "component/Registry.h"
#include "component/Values.h"
#include "component/ViewObject.h"

#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QPainter>
#include <QtGui/QTextCursor>
#include <QtGui/QTextObjectInterface>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QTextEdit>

#include <memory>
#include <vector>

using namespace Component;

namespace {

constexpr int kProxyObject = QTextFormat::UserObject + 1;
constexpr int kProxyIndex = QTextFormat::UserProperty + 1;

class ProxyHandler : public QObject, public QTextObjectInterface, public IObjectSite
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    explicit ProxyHandler(QTextEdit *edit)
        : QObject(edit)
        , m_pEdit(edit)
    {
        edit->document()->documentLayout()->registerHandler(kProxyObject, this);
    }
    ~ProxyHandler() override
    {
        for (const auto &view : m_views)
            view->SetSite(nullptr);
    }

    // Makes a proxy and places it at the cursor; returns its dispatch.
    DispatchDriver Insert(QTextCursor &cursor, const QUuid &classId)
    {
        auto view = CreateInstance<IViewObject>(classId);
        if (!view)
            return {};
        view->SetSite(this);
        QTextCharFormat format;
        format.setObjectType(kProxyObject);
        format.setProperty(kProxyIndex, static_cast<int>(m_views.size()));
        m_views.push_back(view);
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
        return DispatchDriver(view.Get());
    }

    QSizeF intrinsicSize(QTextDocument *document, int, const QTextFormat &format) override
    {
        IViewObject *view = ViewOf(format);
        QSize himetric;
        if (!view || Failed(view->GetExtent(&himetric)))
            return {};
        const QPaintDevice *device = document->documentLayout()->paintDevice();
        const int dpiX = device ? device->logicalDpiX() : kStandardDpi;
        const int dpiY = device ? device->logicalDpiY() : kStandardDpi;
        return HimetricToPixels(himetric, dpiX, dpiY);
    }

    void drawObject(
        QPainter *painter, const QRectF &rect, QTextDocument *, int, const QTextFormat &format) override
    {
        if (IViewObject *view = ViewOf(format))
            view->Draw(painter, rect.toRect(), DrawTargetOf(painter));
    }

    void OnViewChange() override
    {
        // A proxy wants another size or picture: lay the text out again.
        QTextDocument *document = m_pEdit->document();
        document->markContentsDirty(0, document->characterCount());
    }

private:
    IViewObject *ViewOf(const QTextFormat &format) const
    {
        const int index = format.intProperty(kProxyIndex);
        return index >= 0 && index < static_cast<int>(m_views.size()) ? m_views[index].Get() : nullptr;
    }

    QTextEdit *m_pEdit;
    std::vector<ComPtr<IViewObject>> m_views;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString screenshot = arguments.value(1, QStringLiteral("ostrel-demo.png"));
    const QString printed = arguments.value(2);

    QTextEdit edit;
    edit.resize(720, 300);
    auto *handler = new ProxyHandler(&edit);
    QTextCursor cursor(edit.document());
    // The extents the notes view would measure for its font.
    const QFontMetrics metrics(edit.font());
    const int extentX = metrics.horizontalAdvance(QLatin1Char('x'));
    const int extentY = metrics.height();

    const auto line = [&cursor](const QString &label) {
        if (!cursor.atStart())
            cursor.insertBlock();
        cursor.insertText(label);
    };
    const double today = Verdanta::ToOleDate(QDate(2009, 3, 3));

    line(QString());
    DispatchDriver consult = handler->Insert(cursor, Ostrel::kClsidConsultProxy);
    consult.Put(Ostrel::DispIConsultProxy::ConsultationDate, today);
    consult.Put(Ostrel::DispIConsultProxy::MaxFontExtentY, extentY);
    consult.Call(Ostrel::DispIConsultProxy::SetItemSize, { edit.viewport()->width() - 8 - 20, 0 });

    line(QStringLiteral("Prescription: "));
    DispatchDriver presc = handler->Insert(cursor, Ostrel::kClsidPrescProxy);
    presc.Put(Ostrel::DispIPrescProxy::strMedicine, QStringLiteral("Arnica montana"));
    presc.Put(Ostrel::DispIPrescProxy::strDilution, QStringLiteral("30CH"));
    presc.Put(Ostrel::DispIPrescProxy::lQuantity, 2);
    presc.Put(Ostrel::DispIPrescProxy::MaxFontExtentX, extentX);
    presc.Put(Ostrel::DispIPrescProxy::MaxFontExtentY, extentY);
    presc.Call(Ostrel::DispIPrescProxy::OnResizeContainer, { 0, 0 });

    line(QStringLiteral("Treatment: "));
    DispatchDriver inh = handler->Insert(cursor, Ostrel::kClsidInhProxy);
    inh.Put(Ostrel::DispIInhProxy::strName, QStringLiteral("Nux vomica"));
    inh.Put(Ostrel::DispIInhProxy::strDilution, QStringLiteral("15CH"));
    inh.Put(Ostrel::DispIInhProxy::MaxFontExtentX, extentX);
    inh.Put(Ostrel::DispIInhProxy::MaxFontExtentY, extentY);
    for (const double day : { today, today + 2, today + 30 })
        inh.Call(Ostrel::DispIInhProxy::SelectTimestamp, { day, true });

    line(QStringLiteral("Image: "));
    handler->Insert(cursor, Ostrel::kClsidLumiskProxy);
    cursor.insertText(QStringLiteral("  Audio: "));
    handler->Insert(cursor, Ostrel::kClsidAudioManagerProxy);
    cursor.insertText(QStringLiteral("  Video: "));
    handler->Insert(cursor, Ostrel::kClsidCTalmaroProxy);

    edit.show();
    QApplication::processEvents();
    const bool saved = edit.grab().save(screenshot);
    if (!printed.isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        edit.document()->print(&printer);
    }
    return saved ? 0 : 1;
}

#include "OstrelDemo.moc"
