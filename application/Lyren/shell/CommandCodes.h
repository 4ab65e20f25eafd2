#pragma once

// The codes of LogicCommand::code: what each window asks of the hub. The hub
// routes every code to the logic object that owns it.
namespace CommandCode {

enum : int {
    Next = 1,
    First = 2,
    Previous = 3,
    Last = 4,
    NewPatient = 5,
    DeletePatient = 6,
    FindPatient = 7,
    ChiefComplaintsClick = 8,
    PatientPicture = 9,
    MedicalHistory = 16,
    Questionnaire = 17,
    MedicalHistoryOk = 18,
    MedicalHistoryCancel = 19,
    QuestionnaireOk = 20,
    QuestionnaireCancel = 21,
    LinkedAccount = 26,
    SavePatient = 27,
    ChiefComplaintsDoubleClick = 28,
    ImportDocument = 29, // control: the documents list
    DocumentsDropped = 30, // text: the first dropped file's path
    OpenDocument = 31, // control: the documents list
    MediaTransport = 32, // sub-command: one of MediaSubCommand
    Remedies = 35,
    FileDropped = 37, // text: the dropped file's path
    CallPhone = 38, // control: the phone link
    PhoneChoice = 39,
    EmailChoice = 40, // control: the button
    MailTo = 41, // control: the e-mail link
    ChiefComplaintsButton = 42,
    Orders = 43,
    Providers = 49,
    StocksFromRemedies = 52, // the remedies dialog's "Stocks" button
    Reports = 54, // control: the button
    OfficeData = 56,
    Stocks = 57,
    RemedyProviderChosen = 59, // id: the row, sub-command: the column
    Clipboard = 61, // sub-command: one of FrameCommand's clipboard commands
    Options = 62, // sub-command: FrameCommand::MediaQuality or ImagesQuality
    Print = 63,
    PickPhrase = 67, // text: a phrase picked in a free-text field
    Appointments = 72,
    DynamicQuestionnaireButton = 74, // accepted without action
    DeleteDocument = 80, // control: the documents list
    SettingsObject = 82, // accepted without action
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
