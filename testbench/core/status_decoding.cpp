#include "status_decoding.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <array>
#include <span>

namespace {

struct NamedBit {
    int bit;
    const char* text;
    int severity;
};

// State byte, the same for every module type; bits 6 and 7 carry no text.
constexpr NamedBit kStateBits[] = {
    {vela::state::kActionFail, "Action : FAIL", 2},
    {vela::state::kActionRunning, "Action : Running", 1},
    {vela::state::kDetectCard, "Detect Card", 0},
    {vela::state::kInitializing, "Initializing...", 1},
    {vela::state::kCommandRunning, "Command : Running", 1},
    {vela::state::kCommandFail, "Command : FAIL", 2},
};

constexpr NamedBit kInputHopperBits[] = {
    {vela::input_hopper::kCardEjecting, "card ejecting", 1},
    {vela::input_hopper::kReadyToUse, "ready to use", 0},
    {vela::input_hopper::kDoingCommand, "doing command", 1},
    {vela::input_hopper::kAlmostEmptyCards, "almost empty cards", 0},
    {vela::input_hopper::kEmptyCard, "empty card", 0},
    {vela::input_hopper::kDetectCartridgeLockSensor, "detect cartridge lock sensor", 0},
    {vela::input_hopper::kDetectCartridgeContactSensor, "detect cartridge contact sensor", 0},
    {vela::input_hopper::kDetectCardOutSensor, "detect card-out sensor", 0},
    {vela::input_hopper::kDetectRightSideHook, "detect right side hook", 0},
    {vela::input_hopper::kDetectLeftSideHook, "detect left side hook", 0},
    {vela::input_hopper::kErrorWhileEjectCard, "error while eject card", 2},
    {vela::input_hopper::kInitializingFailure, "initializing failure", 3},
};

constexpr NamedBit kMultiInputHopperBits[] = {
    {vela::multi_input_hopper::kInitializing, "initializing", 1},
    {vela::multi_input_hopper::kCardEjecting, "card ejecting", 1},
    {vela::multi_input_hopper::kReadyToUse, "ready to use", 0},
    {vela::multi_input_hopper::kDoingCommand, "doing command", 1},
    {vela::multi_input_hopper::kDetectHopper1, "detect hopper 1", 0},
    {vela::multi_input_hopper::kDetectHopper2, "detect hopper 2", 0},
    {vela::multi_input_hopper::kDetectHopper3, "detect hopper 3", 0},
    {vela::multi_input_hopper::kDetectHopper4, "detect hopper 4", 0},
    {vela::multi_input_hopper::kDetectHopper5, "detect hopper 5", 0},
    {vela::multi_input_hopper::kDetectHopper6, "detect hopper 6", 0},
    {vela::multi_input_hopper::kHopper1IsRunning, "hopper 1 is running", 1},
    {vela::multi_input_hopper::kHopper2IsRunning, "hopper 2 is running", 1},
    {vela::multi_input_hopper::kHopper3IsRunning, "hopper 3 is running", 1},
    {vela::multi_input_hopper::kHopper4IsRunning, "hopper 4 is running", 1},
    {vela::multi_input_hopper::kHopper5IsRunning, "hopper 5 is running", 1},
    {vela::multi_input_hopper::kHopper6IsRunning, "hopper 6 is running", 1},
    {vela::multi_input_hopper::kLimitSensorLeft, "limit sensor left", 0},
    {vela::multi_input_hopper::kLimitSensorRight, "limit sensor right", 0},
    {vela::multi_input_hopper::kShifterPositionSensorA, "shifter position sensor A", 0},
    {vela::multi_input_hopper::kShifterPositionSensorB, "shifter position sensor B", 0},
    {vela::multi_input_hopper::kShifterPositionSensorC, "shifter position sensor C", 0},
    {vela::multi_input_hopper::kShifterPositionSensorD, "shifter position sensor D", 0},
    {vela::multi_input_hopper::kCardInSensorA0, "card in sensor A0", 0},
    {vela::multi_input_hopper::kCardInSensorA1, "card in sensor A1", 0},
    {vela::multi_input_hopper::kCardInSensorB0, "card in sensor B0", 0},
    {vela::multi_input_hopper::kCardInSensorB1, "card in sensor B1", 0},
    {vela::multi_input_hopper::kCardInSensorC0, "card in sensor C0", 0},
    {vela::multi_input_hopper::kCardInSensorC1, "card in sensor C1", 0},
    {vela::multi_input_hopper::kCardInSensorD0, "card in sensor D0", 0},
    {vela::multi_input_hopper::kCardInSensorD1, "card in sensor D1", 0},
    {vela::multi_input_hopper::kInitializingFail, "initializing fail", 3},
    {vela::multi_input_hopper::kCardOutError, "card out error", 2},
    {vela::multi_input_hopper::kFailedToRunCommand, "failed to run command", 2},
    {vela::multi_input_hopper::kHopper1ControlError, "hopper 1 control error", 2},
    {vela::multi_input_hopper::kHopper2ControlError, "hopper 2 control error", 2},
    {vela::multi_input_hopper::kHopper3ControlError, "hopper 3 control error", 2},
    {vela::multi_input_hopper::kHopper4ControlError, "hopper 4 control error", 2},
    {vela::multi_input_hopper::kHopper5ControlError, "hopper 5 control error", 2},
    {vela::multi_input_hopper::kHopper6ControlError, "hopper 6 control error", 2},
    {vela::multi_input_hopper::kHopper1IsEmpty, "hopper 1 is empty", 2},
    {vela::multi_input_hopper::kHopper2IsEmpty, "hopper 2 is empty", 2},
    {vela::multi_input_hopper::kHopper3IsEmpty, "hopper 3 is empty", 2},
    {vela::multi_input_hopper::kHopper4IsEmpty, "hopper 4 is empty", 2},
    {vela::multi_input_hopper::kHopper5IsEmpty, "hopper 5 is empty", 2},
    {vela::multi_input_hopper::kHopper6IsEmpty, "hopper 6 is empty", 2},
    {vela::multi_input_hopper::kHopper1HasError, "hopper 1 has error", 2},
    {vela::multi_input_hopper::kHopper2HasError, "hopper 2 has error", 2},
    {vela::multi_input_hopper::kHopper3HasError, "hopper 3 has error", 2},
    {vela::multi_input_hopper::kHopper4HasError, "hopper 4 has error", 2},
    {vela::multi_input_hopper::kHopper5HasError, "hopper 5 has error", 2},
    {vela::multi_input_hopper::kHopper6HasError, "hopper 6 has error", 2},
};

constexpr NamedBit kPrinterBits[] = {
    {vela::printer::kDoingSBSCommand, "doing SBS Command", 1},
    {vela::printer::kCardIsMoving, "card is moving", 1},
    {vela::printer::kCardIsInserting, "card is inserting", 1},
    {vela::printer::kCardIsEjecting, "card is ejecting", 1},
    {vela::printer::kThermalHeadLifting, "thermal head lifting", 1},
    {vela::printer::kSeekRibbon, "seek ribbon", 1},
    {vela::printer::kMovingRibbon, "moving ribbon", 1},
    {vela::printer::kPrinting, "printing", 1},
    {vela::printer::kMagneticEncoding, "magnetic encoding", 0},
    {vela::printer::kReceivingPrintData, "receiving print data", 1},
    {vela::printer::kReceivingPrintData2, "receiving print data", 1},
    {vela::printer::kReady, "ready", 0},
    {vela::printer::kInternalEncoderIsInstalled, "internal encoder is installed", 0},
    {vela::printer::kExternalInputHopperIsInstalled, "external input-hopper is installed", 0},
    {vela::printer::kExternalOutputHopperIsInstalled, "external output-hopper is installed", 0},
    {vela::printer::kExternalEncoderIsInstalled, "external encoder is installed", 0},
    {vela::printer::kExternalLaminatorIsInstalled, "external laminator is installed", 0},
    {vela::printer::kExternalFlipperIsInstalled, "external flipper is installed", 0},
    {vela::printer::kExternalEtcModuleIsInstalled, "external etc. module is installed", 0},
    {vela::printer::kCaseIsOpened, "case is opened", 0},
    {vela::printer::kSoftLockedState, "soft locked state", 0},
    {vela::printer::kKeyLockedState, "key locked state", 0},
    {vela::printer::kDetectACard, "detect a card", 0},
    {vela::printer::kModuleIsConnectedToLeft, "module is connected to left", 0},
    {vela::printer::kModuleIsConnectedToRight, "module is connected to right", 0},
    {vela::printer::kNeedCleaning, "need cleaning", 0},
    {vela::printer::kHaveSomePrintingData, "have some printing data", 0},
    {vela::printer::kManualMode, "Manual Mode", 0},
    {vela::printer::kTestMode, "Test mode", 0},
    {vela::printer::kFailedToInsertCard, "failed to insert card", 2},
    {vela::printer::kFailedToMoveCard, "failed to move card", 2},
    {vela::printer::kFailedToEjectCard, "failed to eject card", 2},
    {vela::printer::kFailedToLiftThermalHead, "failed to lift thermal head", 2},
    {vela::printer::kErrorWhilePrinting, "error while printing", 2},
    {vela::printer::kMagneticEncodingError, "magnetic encoding error", 2},
    {vela::printer::kMagneticISOTrack1ReadError, "magnetic ISO track 1 read error", 2},
    {vela::printer::kMagneticISOTrack2ReadError, "magnetic ISO track 2 read error", 2},
    {vela::printer::kMagneticISOTrack3ReadError, "magnetic ISO track 3 read error", 2},
    {vela::printer::kExtInputHopperConnectionFailure, "ext. input-hopper connection failure", 2},
    {vela::printer::kExtOutputHopperConnectionFailure, "ext. output-hopper connection failure", 2},
    {vela::printer::kExternalEncoderConnectionFailure, "external encoder connection failure", 2},
    {vela::printer::kExternalLaminatorConnectionFailure, "external laminator connection failure",
     2},
    {vela::printer::kExternalFlipperConnectionFailure, "external flipper connection failure", 2},
    {vela::printer::kExtEtcModuleConnectionFailure, "ext. etc. module connection failure", 2},
    {vela::printer::kExtPresetModuleConnectionFailure, "ext. preset module connection failure", 2},
    {vela::printer::kMagModuleConnectionFailure, "mag. module connection failure", 2},
    {vela::printer::kSchedulerRunError, "scheduler run error", 2},
    {vela::printer::kRibbonIsEmpty, "ribbon is empty", 2},
    {vela::printer::kRibbonSearchFailure, "ribbon search failure", 2},
    {vela::printer::kRibbonMoveFailure, "ribbon move failure", 2},
    {vela::printer::kThermalHeadIsAbsent, "thermal head is absent", 3},
    {vela::printer::kThermalHeadIsOverheated, "thermal head is overheated", 3},
    {vela::printer::kRibbonIsAbsent, "ribbon is absent", 3},
    {vela::printer::kErrorOnPrintingData, "error on printing data", 3},
    {vela::printer::kWrongPassword, "wrong password", 3},
    {vela::printer::kFailedToChangePrinterConfig, "failed to change printer config", 3},
};

constexpr NamedBit kLaminatorBits[] = {
    {vela::laminator::kCardInserting, "card inserting", 1},
    {vela::laminator::kCardMoving, "card moving", 1},
    {vela::laminator::kCardEjecting, "card ejecting", 1},
    {vela::laminator::kThermalHeadLiftingUp, "thermal head lifting up", 1},
    {vela::laminator::kThermalHeadLiftingDown, "thermal head lifting down", 1},
    {vela::laminator::kThermalHeadHeating, "thermal head heating", 1},
    {vela::laminator::kLaminating, "laminating", 1},
    {vela::laminator::kInstallExtHopper, "install ext. hopper", 0},
    {vela::laminator::kInstallExtStacker, "install ext. stacker", 0},
    {vela::laminator::kInstallExtFlipper, "install ext. flipper", 0},
    {vela::laminator::kReadyState, "ready state", 0},
    {vela::laminator::kDoingCommand, "doing command", 1},
    {vela::laminator::kDoingUSBCommand, "doing USB command", 1},
    {vela::laminator::kCaseIsOpened, "Case is opened", 0},
    {vela::laminator::kDetectCartridgeLockSensor, "Detect Cartridge Lock Sensor", 0},
    {vela::laminator::kDetectACardFromOutSensor, "Detect a card from out sensor", 0},
    {vela::laminator::kDetectACardFromCenterSensorB, "Detect a card from center sensor B", 0},
    {vela::laminator::kDetectACardFromCenterSensorA, "Detect a card from center sensor A", 0},
    {vela::laminator::kDetectACardFromInSensor, "Detect a card from in sensor", 0},
    {vela::laminator::kDetectHeadLiftSensor, "Detect head lift sensor", 0},
    {vela::laminator::kDetectCaseOpenCheckSensor, "Detect Case Open Check Sensor", 0},
    {vela::laminator::kFilmMarkCheckSensorB, "Film Mark Check Sensor B", 0},
    {vela::laminator::kFilmMarkCheckSensorA, "Film Mark Check Sensor A", 0},
    {vela::laminator::kEncoderSensorB, "Encoder Sensor B", 0},
    {vela::laminator::kEncoderSensorA, "Encoder Sensor A", 0},
    {vela::laminator::kErrorWhileInsertCard, "error while insert card", 2},
    {vela::laminator::kErrorWhileMoveCard, "error while move card", 2},
    {vela::laminator::kErrorWhileEjectCard, "error while eject card", 2},
    {vela::laminator::kErrorWhileLiftUpHeader, "error while lift up header", 2},
    {vela::laminator::kErrorWhileLiftDownHeader, "error while lift down header", 2},
    {vela::laminator::kErrorWhileLaminating, "error while laminating", 2},
    {vela::laminator::kExtFlipperConnectionFailure, "ext. flipper connection failure", 3},
    {vela::laminator::kExtStackerConnectionFailure, "ext. stacker connection failure", 3},
    {vela::laminator::kExtFlipperConnectionFailure2, "ext. flipper connection failure", 3},
    {vela::laminator::kInitializeFailure, "initialize failure", 3},
    {vela::laminator::kErrorWhileProcessCommand, "error while process command", 2},
    {vela::laminator::kErrorWhileProcessUSBCommand, "error while process USB command", 2},
    {vela::laminator::kLaminateFilmEmpty, "laminate film empty", 3},
    {vela::laminator::kFilmSeekFailure, "film seek failure", 3},
    {vela::laminator::kThermalHeadError, "thermal head error", 3},
    {vela::laminator::kLaminateFilmIsAbsent, "laminate film is absent", 3},
};

constexpr NamedBit kFlipperBits[] = {
    {vela::flipper::kCardInserting, "card inserting", 1},
    {vela::flipper::kCardEjecting, "card ejecting", 1},
    {vela::flipper::kCardFlipping, "card flipping", 1},
    {vela::flipper::kCardMoving, "card moving", 1},
    {vela::flipper::kReadyState, "ready state", 0},
    {vela::flipper::kDoingCommand, "doing command", 1},
    {vela::flipper::kBoardVer2, "board ver. 2", 0},
    {vela::flipper::kFacedToBottom, "faced to bottom", 0},
    {vela::flipper::kFacedToTop, "faced to top", 0},
    {vela::flipper::kDetectCartridgeLockSensor, "detect cartridge lock sensor", 0},
    {vela::flipper::kCartridgeIsFull, "cartridge is full", 0},
    {vela::flipper::kVerticalPositionControlSensor, "Vertical Position Control Sensor", 0},
    {vela::flipper::kHorizontalPositionControlSensor, "Horizontal Position Control Sensor", 0},
    {vela::flipper::kDetectACardAtRightSensor, "detect a card at right sensor", 0},
    {vela::flipper::kDetectACardAtCenterSensor, "detect a card at center sensor", 0},
    {vela::flipper::kDetectACardAtLeftSensor, "detect a card at left sensor", 0},
    {vela::flipper::kCardInsertError, "card insert error", 2},
    {vela::flipper::kCardEjectError, "card eject error", 2},
    {vela::flipper::kFlippingError, "flipping error", 2},
    {vela::flipper::kCardMovingError, "card moving error", 2},
    {vela::flipper::kInitializeFailure, "initialize failure", 3},
};

// Flipper bits that exist only on the second board version. Without the board bit a set bit
// among them is not shown at all.
constexpr NamedBit kFlipperBoardV2Bits[] = {
    {vela::flipper::kIcContactorContacted, "ic contactor contacted", 0},
    {vela::flipper::kIcContactorReleased, "ic contactor released", 0},
    {vela::flipper::kExtendedBoardAbsent, "extended board absent", 0},
    {vela::flipper::kDetectACardAtScannerInSensor, "detect a card at scanner in sensor", 0},
    {vela::flipper::kDetectACardAtScannerOutSensor, "detect a card at scanner out sensor", 0},
    {vela::flipper::kDetectIcContactor, "detect ic contactor", 0},
    {vela::flipper::kNotInstalledScannerModule, "not installed scanner module", 0},
    {vela::flipper::kDetectCaseOpenSensor, "detect case open sensor", 0},
    {vela::flipper::kIcContactorContactError, "ic contactor contact error", 2},
    {vela::flipper::kIcContactorReleaseError, "ic contactor release error", 2},
};

constexpr NamedBit kLaserBits[] = {
    {vela::laser::kCardInserting, "card inserting", 1},
    {vela::laser::kCardEjecting, "card ejecting", 1},
    {vela::laser::kCardFlipping, "card flipping", 1},
    {vela::laser::kCardMoving, "card moving", 1},
    {vela::laser::kIcContactorLifting, "ic contactor lifting", 1},
    {vela::laser::kDoingMagneticRW, "doing magnetic r/w", 1},
    {vela::laser::kNoICCAM, "No IC CAM", 0},
    {vela::laser::kVELAKLE, "VELA-KLE", 0},
    {vela::laser::kReadyState, "ready state", 0},
    {vela::laser::kDoingCommand, "doing command", 1},
    {vela::laser::kAutoCardInsertSet, "auto. card insert set", 0},
    {vela::laser::kPreparing, "preparing", 0},
    {vela::laser::kFacedToBottom, "faced to bottom", 0},
    {vela::laser::kFacedToTop, "faced to top", 0},
    {vela::laser::kFlipperTilted, "flipper tilted", 0},
    {vela::laser::kDoorOpen, "door open", 0},
    {vela::laser::kFlipperIsNearRight, "flipper is near right", 0},
    {vela::laser::kDetectCardFromOptOutSensor, "detect card from opt. out sensor", 0},
    {vela::laser::kDetectCardFromFlipperOutSensor, "detect card from flipper out sensor", 0},
    {vela::laser::kDetectCardFromFlipperInSensor, "detect card from flipper in sensor", 0},
    {vela::laser::kDetectCardFromCardOutSensor, "detect card from card out sensor", 0},
    {vela::laser::kDetectCardFromFlipperCenterSensor, "detect card from flipper center sensor", 0},
    {vela::laser::kDetectCardFromCardInSensor, "detect card from card in sensor", 0},
    {vela::laser::kCardInsertError, "card insert error", 2},
    {vela::laser::kCardEjectError, "card eject error", 2},
    {vela::laser::kFlippingError, "flipping error", 2},
    {vela::laser::kCardMovingError, "card moving error", 2},
    {vela::laser::kIcContactorLiftingError, "ic contactor lifting error", 2},
    {vela::laser::kMagneticRWError, "magnetic r/w error", 2},
    {vela::laser::kInitializeFailure, "initialize failure", 3},
};

constexpr NamedBit kOutputHopperBits[] = {
    {vela::output_hopper::kCardInserting, "card inserting", 1},
    {vela::output_hopper::kLiftingUp, "lifting up", 1},
    {vela::output_hopper::kLiftingDown, "lifting down", 1},
    {vela::output_hopper::kReadyState, "ready state", 0},
    {vela::output_hopper::kDoingCommand, "doing command", 1},
    {vela::output_hopper::kDetectCardStandbySensor, "detect card standby sensor", 0},
    {vela::output_hopper::kOutputHopperHaveSpace, "output hopper have space", 0},
    {vela::output_hopper::kDetectCartridgeLockSensor, "detect cartridge lock sensor", 0},
    {vela::output_hopper::kDetectCartridgeContactSensor, "detect cartridge contact sensor", 0},
    {vela::output_hopper::kDetectAbleToInsertCardSensor, "detect able to insert card sensor", 0},
    {vela::output_hopper::kLiftedUp, "lifted up", 0},
    {vela::output_hopper::kDetectCardFromInSensor, "detect card from in sensor", 0},
    {vela::output_hopper::kErrorWhileInsertCard, "error while insert card", 2},
    {vela::output_hopper::kErrorWhileLiftUp, "error while lift up", 2},
    {vela::output_hopper::kErrorWhileLiftDown, "error while lift down", 2},
    {vela::output_hopper::kInitializingFailure, "initializing failure", 3},
};

// A status table expanded to one entry per bit, built once so decoding allocates nothing. The
// texts are shared QStrings: handing one out only bumps its reference count.
struct StatusTable {
    std::array<QString, 64> text;  // empty = bit not named (shown with the "(bit-%d)" fallback)
    std::array<int, 64> severity{};
    std::uint64_t boardV2Only = 0;  // bits named only while the flipper's board bit is set

    explicit StatusTable(std::span<const NamedBit> bits, std::span<const NamedBit> v2Bits = {}) {
        for (const NamedBit& b : bits) {
            text[b.bit] = QString::fromLatin1(b.text);
            severity[b.bit] = b.severity;
        }
        for (const NamedBit& b : v2Bits) {
            text[b.bit] = QString::fromLatin1(b.text);
            severity[b.bit] = b.severity;
            boardV2Only |= vela::Bit(b.bit);
        }
    }
};

// The status table of a module, or null for the types that have none.
const StatusTable* TableFor(std::uint8_t id) {
    static const StatusTable inputHopper(kInputHopperBits);
    static const StatusTable multiInputHopper(kMultiInputHopperBits);
    static const StatusTable printer(kPrinterBits);
    static const StatusTable laminator(kLaminatorBits);
    static const StatusTable flipper(kFlipperBits, kFlipperBoardV2Bits);
    static const StatusTable laser(kLaserBits);
    static const StatusTable outputHopper(kOutputHopperBits);

    switch (vela::TypeOf(id)) {
        case vela::kTypeInputHopper:
            return &inputHopper;
        case vela::kTypeMultiInputHopper:
            return &multiInputHopper;
        case vela::kTypePrinter:
            return &printer;
        case vela::kTypeLaminator:
            return &laminator;
        case vela::kTypeFlipper:
            return id == vela::kModuleLaser ? &laser : &flipper;
        case vela::kTypeOutputHopper:
            return &outputHopper;
        default:
            return nullptr;  // type 3, multi-output hopper and unassigned types
    }
}

const std::array<QString, 8>& StateTexts() {
    static const std::array<QString, 8> texts = [] {
        std::array<QString, 8> t;
        for (const NamedBit& b : kStateBits)
            t[b.bit] = QString::fromLatin1(b.text);
        return t;
    }();
    return texts;
}

constexpr std::array<int, 8> StateSeverities() {
    std::array<int, 8> s{};
    for (const NamedBit& b : kStateBits)
        s[b.bit] = b.severity;
    return s;
}

const ModuleSlot* FindSlot(const ModuleSlot* moduleSlots, int count, std::uint8_t id) {
    if (moduleSlots == nullptr)
        return nullptr;
    for (int i = 0; i < count; ++i) {
        if (moduleSlots[i].id == id)
            return &moduleSlots[i];
    }
    return nullptr;
}

QString HexByte(std::uint8_t v) {
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QColor SeverityColor(int severity) {
    switch (severity) {
        case kSeverityActivity:
            return QColor(0x40, 0x20, 0xC0);
        case kSeverityError:
            return QColor(0xC0, 0x40, 0x20);
        case kSeverityFatal:
            return QColor(0xC0, 0x20, 0x20);
        default:
            return QColor(0, 0, 0);
    }
}

DecodedLine DescribeStateBit(std::uint8_t state, int bit) {
    if (bit < 0 || bit > 7 || (state & (1u << bit)) == 0)
        return {};
    static constexpr std::array<int, 8> kSeverities = StateSeverities();
    return {StateTexts()[bit], kSeverities[bit]};
}

DecodedLine DescribeStatusBit(std::uint8_t id, std::uint64_t status, int bit) {
    if (bit < 0 || bit > 63)
        return {};
    const std::uint64_t mask = vela::Bit(bit);
    if ((status & mask) == 0)
        return {};
    const StatusTable* table = TableFor(id);
    if (table == nullptr)
        return {};
    if ((table->boardV2Only & mask) != 0 && (status & vela::Bit(vela::flipper::kBoardVer2)) == 0)
        return {};
    if (table->text[bit].isEmpty())
        return {QStringLiteral("(bit-%1)").arg(bit + 1), kSeverityPlain};
    return {table->text[bit], table->severity[bit]};
}

DecodedLine DescribeStateBit(const ModuleSlot* moduleSlots, int count, std::uint8_t id, int bit) {
    const ModuleSlot* slot = FindSlot(moduleSlots, count, id);
    return DescribeStateBit(slot ? slot->state : std::uint8_t{0}, bit);
}

DecodedLine DescribeStatusBit(const ModuleSlot* moduleSlots, int count, std::uint8_t id, int bit) {
    const ModuleSlot* slot = FindSlot(moduleSlots, count, id);
    return DescribeStatusBit(id, slot ? slot->status : std::uint64_t{0}, bit);
}

QRect StatusPanelArea(const QRect& groupClientRect) {
    constexpr int kInsetSide = 4;
    constexpr int kInsetTop = 16;
    constexpr int kInsetBottom = 4;
    const QRect area = groupClientRect.adjusted(kInsetSide, kInsetTop, -kInsetSide, -kInsetBottom);
    return area.isValid() ? area : QRect(area.topLeft(), QSize(0, 0));
}

QImage RenderStatusPanel(const ModuleSlot moduleSlots[kModuleSlotCount], QSize groupClientSize) {
    const QRect area = StatusPanelArea(QRect(QPoint(0, 0), groupClientSize));
    if (area.isEmpty())
        return {};

    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(QColor(0xF0, 0xF0, 0xF0));
    if (moduleSlots == nullptr)
        return image;

    // Fonts and their metrics once per call; a line's height is its font's height.
    struct LineFont {
        QFont font;
        int ascent;
        int height;
    };
    const auto makeFont = [](int pixelSize, QFont::Weight weight) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(pixelSize);
        font.setWeight(weight);
        const QFontMetrics metrics(font);
        return LineFont{font, metrics.ascent(), metrics.height()};
    };
    const LineFont title = makeFont(15, QFont::Bold);
    const LineFont heading = makeFont(13, QFont::Bold);
    const LineFont body = makeFont(13, QFont::Normal);

    QPainter painter(&image);
    painter.setClipRect(image.rect());
    painter.setBackgroundMode(Qt::TransparentMode);

    const int bottom = image.height();
    const QColor black(0, 0, 0);
    int x = 0;
    int y = 0;
    int h = 0;  // height of the last measured line
    const LineFont* current = nullptr;
    const auto useFont = [&](const LineFont& f) {
        current = &f;
        painter.setFont(f.font);
    };
    // Draws one single-line text at the pen and moves the pen down by its height.
    const auto drawLine = [&](const QString& text) {
        h = current->height;
        if (!text.isEmpty())
            painter.drawText(x, y + current->ascent, text);
        y += h;
    };

    painter.setPen(black);
    for (int i = 0; i < kModuleSlotCount && y < bottom; ++i) {
        const ModuleSlot& slot = moduleSlots[i];
        if (slot.id == vela::kModuleEmptySlot || slot.id == vela::kModuleNone)
            continue;

        useFont(title);
        drawLine(FormatModuleName(slot.id));

        useFont(heading);
        x += 8;
        y += h / 2;
        drawLine(QStringLiteral("State : [") + HexByte(slot.state) + QLatin1Char(']'));

        useFont(body);
        x += 8;
        for (int bit = 0; bit < 8 && y < bottom; ++bit) {
            const DecodedLine line = DescribeStateBit(slot.state, bit);
            if (line.text.isEmpty())
                continue;
            painter.setPen(SeverityColor(line.severity));
            drawLine(line.text);
        }
        painter.setPen(black);
        x -= 8;

        useFont(heading);
        y += h / 2;
        drawLine(QStringLiteral("Status : [") +
                 QStringLiteral("%1").arg(slot.status, 16, 16, QLatin1Char('0')).toUpper() +
                 QLatin1Char(']'));
        x += 8;

        useFont(body);
        for (int bit = 0; bit < 64 && y < bottom; ++bit) {
            const DecodedLine line = DescribeStatusBit(slot.id, slot.status, bit);
            if (line.text.isEmpty())
                continue;
            painter.setPen(SeverityColor(line.severity));
            drawLine(line.text);
        }
        painter.setPen(black);
        y += 3 * h / 2;
        x -= 16;
    }
    return image;
}
