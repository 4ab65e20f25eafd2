#pragma once

// The codes of LogicCommand::code: what each window asks of the hub. The hub
// routes every code to the logic object that owns it (CommandTable.h). This
// is the one list of codes of the program.
namespace CommandCode {

enum : int {
    Next = 1,
    First = 2,
    Previous = 3,
    Last = 4,
    NewPatient = 5,
    DeletePatient = 6,
    FindPatient = 7,
    ChiefComplaintsClick = 8, // point: the cursor position
    PatientPicture = 9,
    TreatmentGrid = 10, // the treatment grid alone
    TreatmentLineAdd = 11, // a treatment line for the grid row chosen
    TreatmentLineRemove = 12,
    TreatmentDateToggle = 13, // a date of a treatment line selected or unselected
    DuePaymentsList = 14,
    PaymentsList = 15,
    MedicalHistory = 16,
    Questionnaire = 17,
    MedicalHistoryOk = 18,
    MedicalHistoryCancel = 19,
    QuestionnaireOk = 20,
    QuestionnaireCancel = 21,
    NotesCommand = 22,
    DuePaymentsCommand = 23,
    MonthlyFee = 24,
    LinkedAccount = 26,
    SavePatient = 27,
    ChiefComplaintsDoubleClick = 28, // point: the cursor position
    ImportDocument = 29, // control: the documents list
    DocumentsDropped = 30, // text: the first dropped file's path
    OpenDocument = 31, // control: the documents list; PageSubCommand::ShowCurrent fills it
    MediaTransport = 32, // sub-command: one of MediaSubCommand
    PrescriptionStatus = 33, // a prescription's status changed
    Remedies = 35,
    FileDropped = 37, // text: the dropped file's path
    CallPhone = 38, // control: the phone link
    PhoneChoice = 39,
    EmailChoice = 40, // control: the button
    MailTo = 41, // control: the e-mail link
    ChiefComplaintsButton = 42,
    Orders = 43,
    OrdersCommand = 47,
    Providers = 49,
    PaymentsCommand = 51,
    StocksFromRemedies = 52, // the remedies dialog's "Stocks" button
    Reports = 54, // control: the button
    OrderDetails = 55, // id: the order whose details are shown and modified
    OfficeData = 56,
    Stocks = 57,
    RemedyProviderChosen = 59, // id: the row, sub-command: the column
    PrescriptionsCommand = 60,
    Clipboard = 61, // sub-command: one of FrameCommand's clipboard commands
    Options = 62, // sub-command: FrameCommand::MediaQuality or ImagesQuality
    Print = 63,
    RadarRequest = 64,
    AddKeyword = 65,
    RubricsListClicked = 66,
    PickPhrase = 67, // text: a phrase picked in a free-text field
    WellnessShowAll = 68,
    WellnessCurrentGraph = 69,
    WellnessGraphVisible = 70,
    MediaPause = 71,
    Appointments = 72,
    MediaResizeVideo = 73,
    DynamicQuestionnaireButton = 74, // sub-command: one of DynamicQuestSubCommand
    InvoiceNew = 75,
    InvoiceDetails = 76,
    InvoicePreview = 77,
    InvoiceDelete = 78,
    InvoiceTemplates = 79,
    DeleteDocument = 80, // control: the documents list
    CustomFields = 81, // sub-command: one of CustomFieldsSubCommand
    InsertImageAsked = 82, // the notes ask before an image is inserted
    ImportMediaAsked = 83, // the notes ask before a media file is imported
    InvoiceExportPdf = 84, // the selected invoice as a PDF file
    // The practice's data as a whole (Patient menu).
    RestoreBackup = 100,
    CheckDatabase = 101,
    ExportPractice = 102, // the current patient is saved first
    ImportPractice = 103,
    MovePracticeToServer = 110, // the database file into the server of the connection setting
};

} // namespace CommandCode

// The frame commands that travel as sub-commands of codes 61 and 62.
namespace FrameCommand {

enum : int {
    EditCut = 0xE123,
    EditCopy = 0xE122,
    EditPaste = 0xE125,
    MediaQuality = 0x8001,
    ImagesQuality = 0x8002,
};

} // namespace FrameCommand

// The sub-command with which a page asks the logic object that fills its
// controls to show the current patient in them: sent with a code that logic
// object owns, once the page is attached (its controls exist from then on).
namespace PageSubCommand {

enum : int {
    ShowCurrent = 0x7F00,
};

} // namespace PageSubCommand

// Sub-commands of code 81 for the custom fields.
namespace CustomFieldsSubCommand {

enum : int {
    CreateAlwaysClicked = 0, // id: the list row whose "Create Always" box was clicked
    ShowCurrent = PageSubCommand::ShowCurrent,
};

} // namespace CustomFieldsSubCommand

// Sub-commands of code 47, the buttons of the orders dialog.
namespace OrdersSubCommand {

enum : int {
    Generate = 0, // "Generate Order ..."
    Send = 1, // "Send Order"
};

} // namespace OrdersSubCommand

// Sub-commands of code 74 for the patient's own questionnaire.
namespace DynamicQuestSubCommand {

enum : int {
    EditTemplate = 0, // "Click here to modify the default questionnaire"
    ShowCurrent = PageSubCommand::ShowCurrent, // the tab's editor is attached
};

} // namespace DynamicQuestSubCommand

// Sub-commands of code 32 for the media logic, as the media keys and the main
// view send them.
namespace MediaSubCommand {

enum : int {
    Play = 0, // Ctrl+P
    Record = 1, // Ctrl+R
    Stop = 3, // Ctrl+Space
    PreviousMarker = 4, // Ctrl+Left
    NextMarker = 5, // Ctrl+Right
    SetMarker = 6, // Ctrl+Up
};

} // namespace MediaSubCommand
