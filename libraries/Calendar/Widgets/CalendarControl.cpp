#include "Calendar/Widgets/CalendarControl.h"
#include "Calendar/Model/AppointmentBook.h"
#include "Calendar/Widgets/CalendarDialogs.h"
#include "Calendar/Widgets/CalendarPrinter.h"
#include "Calendar/Widgets/CalendarView.h"
#include "Calendar/Widgets/CaptionBar.h"

#include <QtCore/QDir>
#include <QtGui/QTextCharFormat>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include <QtCore/QSet>

namespace Calendar {

CalendarControl::CalendarControl(QWidget *parent)
    : QWidget(parent)
    , m_book(std::make_unique<AppointmentBook>())
    , m_dialogs(std::make_unique<QtCalendarDialogs>())
    , m_navigator(new QCalendarWidget(this))
    , m_caption(new CaptionBar(this))
    , m_view(new CalendarView(this))
    , m_hint(new QLabel(this))
    , m_print(new QPushButton(tr("Print"), this))
    , m_preview(new QPushButton(tr("Print preview"), this))
    , m_buttonRow(new QHBoxLayout)
{
    m_navigator->setFirstDayOfWeek(locale().firstDayOfWeek());
    m_navigator->setGridVisible(false);
    m_navigator->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_navigator->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_hint->setText(
        tr(" Double click inside the time slot to add/modify an appointment.    Select and hit 'Del' to "
           "delete an appointment.    Right-click to set the time scale."));
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->setWordWrap(true); // a narrow window wraps the hint instead of pushing the buttons away

    auto *left = new QVBoxLayout;
    left->addWidget(m_navigator);
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->setSpacing(0);
    right->addWidget(m_caption);
    right->addWidget(m_view, 1);
    auto *top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    m_buttonRow->addWidget(m_hint, 1);
    m_buttonRow->addWidget(m_print);
    m_buttonRow->addWidget(m_preview);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(m_buttonRow);

    m_view->setBook(m_book.get());
    connect(m_view, &CalendarView::newEventRequested, this, &CalendarControl::createEvent);
    connect(m_view, &CalendarView::editRequested, this, &CalendarControl::editEvent);
    connect(m_view, &CalendarView::changeRequested, this, &CalendarControl::changeEvent);
    connect(m_view, &CalendarView::deleteRequested, this, &CalendarControl::deleteEvent);
    connect(m_view, &CalendarView::rangeChanged, this, &CalendarControl::rangeShown);
    connect(m_view, &CalendarView::viewKindChanged, this, [this](ViewKind kind) {
        m_caption->setViewKind(kind);
        rangeShown();
    });
    connect(m_caption, &CaptionBar::stepRequested, m_view, &CalendarView::step);
    connect(m_caption, &CaptionBar::todayRequested, this, [this] { showDate(QDate::currentDate()); });
    connect(m_caption, &CaptionBar::viewKindRequested, m_view, &CalendarView::setViewKind);
    connect(m_navigator, &QCalendarWidget::selectionChanged, this,
        [this] { m_view->setDate(m_navigator->selectedDate()); });
    connect(m_navigator, &QCalendarWidget::currentPageChanged, this, &CalendarControl::markBusyDays);
    connect(m_book.get(), &AppointmentBook::changed, this, &CalendarControl::markBusyDays);
    connect(m_print, &QPushButton::clicked, this, &CalendarControl::print);
    connect(m_preview, &QPushButton::clicked, this, &CalendarControl::printPreview);

    m_caption->setViewKind(m_view->viewKind());
    rangeShown();
}

CalendarControl::~CalendarControl()
{
    // The view follows the book; it goes first.
    delete m_view;
}

QString CalendarControl::openFile(const QString &path)
{
    return m_book->open(path);
}

bool CalendarControl::save(QString *error)
{
    return m_book->save(error);
}

void CalendarControl::setNewEventDefaults(std::function<NewEventDefaults()> provider)
{
    m_newEventDefaults = std::move(provider);
}

void CalendarControl::addButton(QAbstractButton *button)
{
    if (button)
        m_buttonRow->insertWidget(m_buttonRow->indexOf(m_print), button);
}

void CalendarControl::showDate(QDate date)
{
    m_view->setDate(date);
    rangeShown();
}

QDate CalendarControl::shownDate() const
{
    return m_view->date();
}

void CalendarControl::setViewKind(ViewKind kind)
{
    m_view->setViewKind(kind);
}

ViewKind CalendarControl::viewKind() const
{
    return m_view->viewKind();
}

void CalendarControl::setSlotMinutes(int minutes)
{
    m_view->setSlotMinutes(minutes);
}

int CalendarControl::slotMinutes() const
{
    return m_view->slotMinutes();
}

void CalendarControl::setWorkingTime(const WorkingTime &work)
{
    m_view->setWorkingTime(work);
}

void CalendarControl::setDialogs(std::unique_ptr<ICalendarDialogs> dialogs)
{
    if (dialogs)
        m_dialogs = std::move(dialogs);
}

void CalendarControl::reportFailure(bool done, const QString &error)
{
    if (!done && !error.isEmpty())
        m_dialogs->showMessage(this, error);
}

void CalendarControl::createEvent(const QDateTime &start, const QDateTime &end, bool allDay)
{
    Event event;
    event.start = start;
    event.end = end;
    event.allDay = allDay;
    if (m_newEventDefaults) {
        const NewEventDefaults defaults = m_newEventDefaults();
        event.subject = defaults.subject;
        event.patientId = defaults.patientId;
    }
    if (!m_dialogs->editEvent(this, event, true))
        return;
    QString error, uid;
    const bool done = m_book->add(event, &error, &uid);
    if (m_book->events().contains(uid))
        m_view->select(uid);
    reportFailure(done, error);
}

void CalendarControl::editEvent(const QString &uid)
{
    const Event *stored = m_book->events().find(uid);
    if (!stored)
        return;
    Event event = *stored;
    if (!m_dialogs->editEvent(this, event, false))
        return;
    QString error;
    reportFailure(m_book->update(event, &error), error);
}

void CalendarControl::changeEvent(const Event &event)
{
    QString error;
    reportFailure(m_book->update(event, &error), error);
}

void CalendarControl::deleteEvent(const QString &uid)
{
    QString error;
    reportFailure(m_book->remove(uid, &error), error);
}

void CalendarControl::rangeShown()
{
    m_caption->setCaption(m_view->caption());
    const QSignalBlocker block(m_navigator);
    m_navigator->setSelectedDate(m_view->date());
    markBusyDays();
}

void CalendarControl::markBusyDays()
{
    // Days with appointments are bold in the navigator's shown month.
    const QDate first(m_navigator->yearShown(), m_navigator->monthShown(), 1);
    const QDate from = first.addDays(-7), to = first.addMonths(1).addDays(14);
    QSet<QDate> busy;
    for (const Event &event : m_book->events().between(from.startOfDay(), to.startOfDay())) {
        const QDate last = event.allDay || event.end.time() == QTime(0, 0) ? event.end.date().addDays(-1)
                                                                           : event.end.date();
        for (QDate day = std::max(event.start.date(), from); day <= last && day < to; day = day.addDays(1))
            busy.insert(day);
    }
    for (const QDate &day : std::as_const(m_boldDays)) {
        if (!busy.contains(day))
            m_navigator->setDateTextFormat(day, QTextCharFormat());
    }
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (const QDate &day : std::as_const(busy))
        m_navigator->setDateTextFormat(day, bold);
    m_boldDays = busy.values();
}

bool CalendarControl::exportIcs(QString *message)
{
    if (message)
        message->clear();
    const std::optional<HealthData> healthData = m_dialogs->askHealthData(this);
    if (!healthData)
        return false;
    const QString path = m_dialogs->chooseExportFile(this, QDir::home().filePath(tr("Appointments.ics")));
    if (path.isEmpty())
        return false;
    return exportIcs(path, *healthData, message);
}

bool CalendarControl::exportIcs(const QString &path, HealthData healthData, QString *message)
{
    return ExportIcs(path, m_book->events().all(), healthData, message);
}

bool CalendarControl::importIcs(QString *message)
{
    if (message)
        message->clear();
    const QString path = m_dialogs->chooseImportFile(this);
    if (path.isEmpty())
        return false;
    return importIcs(path, message);
}

bool CalendarControl::importIcs(const QString &path, QString *message)
{
    IcsImport imported;
    QString error;
    if (!ImportIcs(path, imported, &error)) {
        if (message)
            *message = error;
        return false;
    }
    const bool saved = m_book->merge(imported.events, &error);
    if (message) {
        QStringList parts;
        parts << tr("%n appointment(s) imported.", nullptr, static_cast<int>(imported.events.size()));
        if (imported.skipped > 0)
            parts << tr("%n without a readable start or cancelled were left out.", nullptr, imported.skipped);
        if (imported.recurring > 0)
            parts << tr("%n repeating appointment(s) were taken as their first occurrence.", nullptr,
                imported.recurring);
        if (!saved)
            parts << error;
        *message = parts.join(u' ');
    }
    return saved;
}

void CalendarControl::preparePrinter(QPrinter &printer) const
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(m_view->caption());
}

bool CalendarControl::printTo(QPrinter &printer) const
{
    PrintedRange range;
    range.kind = m_view->viewKind();
    range.days = m_view->shownDays();
    range.shownMonth = m_view->date().month();
    range.slotMinutes = m_view->slotMinutes();
    range.look.work = m_view->workingTime();
    range.look.today = QDate::currentDate();
    range.look.locale = locale();
    range.look.timeFormat = MinuteTimeFormat(range.look.locale);
    range.caption = m_view->caption();
    if (!range.days.isEmpty()) {
        range.events = m_book->events().between(
            range.days.first().startOfDay(), range.days.last().addDays(1).startOfDay());
    }
    return PrintRange(printer, range);
}

void CalendarControl::print()
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    if (m_dialogs->choosePrinter(this, printer))
        printTo(printer);
}

void CalendarControl::printPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    m_dialogs->showPrintPreview(this, printer, [this](QPrinter *target) { printTo(*target); });
}

} // namespace Calendar
