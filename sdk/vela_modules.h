#pragma once
// The module vocabulary shared by the simulator and the test bench: module ids and types, the
// well-known ids, and the named bits of every module type's state byte and 64-bit status word.
// Bit constants are bit numbers (0-63); Bit(n) turns one into its mask.

#include <cstdint>

namespace vela {

// A module id: high nibble = module type, low nibble = instance.
using ModuleId = std::uint8_t;

inline constexpr ModuleId kModuleEmptySlot = 0x00;  // an unused slot of the main window
inline constexpr ModuleId kModulePrinter = 0x40;    // the printer that takes cards in and out
inline constexpr ModuleId kModuleLaser = 0x62;      // the one type-6 id that is a laser unit
inline constexpr ModuleId kModuleNone = 0xFF;       // no module ("out" of the system)

// Module types (the high nibble of an id).
enum ModuleType : int {
    kTypeNone = 0x0,
    kTypeInputHopper = 0x1,
    kTypeMultiInputHopper = 0x2,
    kTypeThree = 0x3,
    kTypePrinter = 0x4,
    kTypeLaminator = 0x5,
    kTypeFlipper = 0x6,  // flipper or, for id 0x62, laser unit
    kTypeOutputHopper = 0x7,
    kTypeMultiOutputHopper = 0x8,
};

constexpr int TypeOf(ModuleId id) {
    return id >> 4;
}
constexpr bool IsType(ModuleId id, ModuleType type) {
    return id != kModuleNone && TypeOf(id) == type;
}

constexpr std::uint64_t Bit(int n) {
    return std::uint64_t{1} << n;
}

// State byte bits, the same for every module type.
namespace state {
inline constexpr int kActionFail = 0;
inline constexpr int kActionRunning = 1;
inline constexpr int kDetectCard = 2;
inline constexpr int kInitializing = 3;
inline constexpr int kCommandRunning = 4;
inline constexpr int kCommandFail = 5;
}  // namespace state

// Input hopper (type 0x1) status bits.
namespace input_hopper {
inline constexpr int kCardEjecting = 1;
inline constexpr int kReadyToUse = 16;
inline constexpr int kDoingCommand = 17;
inline constexpr int kAlmostEmptyCards = 25;
inline constexpr int kEmptyCard = 26;
inline constexpr int kDetectCartridgeLockSensor = 27;
inline constexpr int kDetectCartridgeContactSensor = 28;
inline constexpr int kDetectCardOutSensor = 29;
inline constexpr int kDetectRightSideHook = 30;
inline constexpr int kDetectLeftSideHook = 31;
inline constexpr int kErrorWhileEjectCard = 33;
inline constexpr int kInitializingFailure = 48;
}  // namespace input_hopper

// Multi-input hopper (type 0x2) status bits.
namespace multi_input_hopper {
inline constexpr int kInitializing = 0;
inline constexpr int kCardEjecting = 1;
inline constexpr int kReadyToUse = 2;
inline constexpr int kDoingCommand = 3;
inline constexpr int kDetectHopper1 = 4;
inline constexpr int kDetectHopper2 = 5;
inline constexpr int kDetectHopper3 = 6;
inline constexpr int kDetectHopper4 = 7;
inline constexpr int kDetectHopper5 = 8;
inline constexpr int kDetectHopper6 = 9;
inline constexpr int kHopper1IsRunning = 10;
inline constexpr int kHopper2IsRunning = 11;
inline constexpr int kHopper3IsRunning = 12;
inline constexpr int kHopper4IsRunning = 13;
inline constexpr int kHopper5IsRunning = 14;
inline constexpr int kHopper6IsRunning = 15;
inline constexpr int kLimitSensorLeft = 18;
inline constexpr int kLimitSensorRight = 19;
inline constexpr int kShifterPositionSensorA = 20;
inline constexpr int kShifterPositionSensorB = 21;
inline constexpr int kShifterPositionSensorC = 22;
inline constexpr int kShifterPositionSensorD = 23;
inline constexpr int kCardInSensorA0 = 24;
inline constexpr int kCardInSensorA1 = 25;
inline constexpr int kCardInSensorB0 = 26;
inline constexpr int kCardInSensorB1 = 27;
inline constexpr int kCardInSensorC0 = 28;
inline constexpr int kCardInSensorC1 = 29;
inline constexpr int kCardInSensorD0 = 30;
inline constexpr int kCardInSensorD1 = 31;
inline constexpr int kInitializingFail = 32;
inline constexpr int kCardOutError = 33;
inline constexpr int kFailedToRunCommand = 35;
inline constexpr int kHopper1ControlError = 36;
inline constexpr int kHopper2ControlError = 37;
inline constexpr int kHopper3ControlError = 38;
inline constexpr int kHopper4ControlError = 39;
inline constexpr int kHopper5ControlError = 40;
inline constexpr int kHopper6ControlError = 41;
inline constexpr int kHopper1IsEmpty = 42;
inline constexpr int kHopper2IsEmpty = 43;
inline constexpr int kHopper3IsEmpty = 44;
inline constexpr int kHopper4IsEmpty = 45;
inline constexpr int kHopper5IsEmpty = 46;
inline constexpr int kHopper6IsEmpty = 47;
inline constexpr int kHopper1HasError = 48;
inline constexpr int kHopper2HasError = 49;
inline constexpr int kHopper3HasError = 50;
inline constexpr int kHopper4HasError = 51;
inline constexpr int kHopper5HasError = 52;
inline constexpr int kHopper6HasError = 53;
}  // namespace multi_input_hopper

// Printer (type 0x4) status bits.
namespace printer {
inline constexpr int kDoingSBSCommand = 0;
inline constexpr int kCardIsMoving = 1;
inline constexpr int kCardIsInserting = 2;
inline constexpr int kCardIsEjecting = 3;
inline constexpr int kThermalHeadLifting = 4;
inline constexpr int kSeekRibbon = 5;
inline constexpr int kMovingRibbon = 6;
inline constexpr int kPrinting = 7;
inline constexpr int kMagneticEncoding = 8;
inline constexpr int kReceivingPrintData = 9;
inline constexpr int kReceivingPrintData2 = 10;
inline constexpr int kReady = 11;
inline constexpr int kInternalEncoderIsInstalled = 15;
inline constexpr int kExternalInputHopperIsInstalled = 16;
inline constexpr int kExternalOutputHopperIsInstalled = 17;
inline constexpr int kExternalEncoderIsInstalled = 18;
inline constexpr int kExternalLaminatorIsInstalled = 19;
inline constexpr int kExternalFlipperIsInstalled = 20;
inline constexpr int kExternalEtcModuleIsInstalled = 21;
inline constexpr int kCaseIsOpened = 22;
inline constexpr int kSoftLockedState = 23;
inline constexpr int kKeyLockedState = 24;
inline constexpr int kDetectACard = 25;
inline constexpr int kModuleIsConnectedToLeft = 26;
inline constexpr int kModuleIsConnectedToRight = 27;
inline constexpr int kNeedCleaning = 28;
inline constexpr int kHaveSomePrintingData = 29;
inline constexpr int kManualMode = 30;
inline constexpr int kTestMode = 31;
inline constexpr int kFailedToInsertCard = 32;
inline constexpr int kFailedToMoveCard = 33;
inline constexpr int kFailedToEjectCard = 34;
inline constexpr int kFailedToLiftThermalHead = 35;
inline constexpr int kErrorWhilePrinting = 38;
inline constexpr int kMagneticEncodingError = 39;
inline constexpr int kMagneticISOTrack1ReadError = 40;
inline constexpr int kMagneticISOTrack2ReadError = 41;
inline constexpr int kMagneticISOTrack3ReadError = 42;
inline constexpr int kExtInputHopperConnectionFailure = 43;
inline constexpr int kExtOutputHopperConnectionFailure = 44;
inline constexpr int kExternalEncoderConnectionFailure = 45;
inline constexpr int kExternalLaminatorConnectionFailure = 46;
inline constexpr int kExternalFlipperConnectionFailure = 47;
inline constexpr int kExtEtcModuleConnectionFailure = 48;
inline constexpr int kExtPresetModuleConnectionFailure = 49;
inline constexpr int kMagModuleConnectionFailure = 50;
inline constexpr int kSchedulerRunError = 53;
inline constexpr int kRibbonIsEmpty = 54;
inline constexpr int kRibbonSearchFailure = 55;
inline constexpr int kRibbonMoveFailure = 56;
inline constexpr int kThermalHeadIsAbsent = 57;
inline constexpr int kThermalHeadIsOverheated = 58;
inline constexpr int kRibbonIsAbsent = 59;
inline constexpr int kErrorOnPrintingData = 60;
inline constexpr int kWrongPassword = 61;
inline constexpr int kFailedToChangePrinterConfig = 62;
}  // namespace printer

// Laminator (type 0x5) status bits.
namespace laminator {
inline constexpr int kCardInserting = 0;
inline constexpr int kCardMoving = 1;
inline constexpr int kCardEjecting = 2;
inline constexpr int kThermalHeadLiftingUp = 3;
inline constexpr int kThermalHeadLiftingDown = 4;
inline constexpr int kThermalHeadHeating = 5;
inline constexpr int kLaminating = 6;
inline constexpr int kInstallExtHopper = 7;
inline constexpr int kInstallExtStacker = 8;
inline constexpr int kInstallExtFlipper = 9;
inline constexpr int kReadyState = 16;
inline constexpr int kDoingCommand = 17;
inline constexpr int kDoingUSBCommand = 18;
inline constexpr int kCaseIsOpened = 20;
inline constexpr int kDetectCartridgeLockSensor = 21;
inline constexpr int kDetectACardFromOutSensor = 22;
inline constexpr int kDetectACardFromCenterSensorB = 23;
inline constexpr int kDetectACardFromCenterSensorA = 24;
inline constexpr int kDetectACardFromInSensor = 25;
inline constexpr int kDetectHeadLiftSensor = 26;
inline constexpr int kDetectCaseOpenCheckSensor = 27;
inline constexpr int kFilmMarkCheckSensorB = 28;
inline constexpr int kFilmMarkCheckSensorA = 29;
inline constexpr int kEncoderSensorB = 30;
inline constexpr int kEncoderSensorA = 31;
inline constexpr int kErrorWhileInsertCard = 32;
inline constexpr int kErrorWhileMoveCard = 33;
inline constexpr int kErrorWhileEjectCard = 34;
inline constexpr int kErrorWhileLiftUpHeader = 35;
inline constexpr int kErrorWhileLiftDownHeader = 36;
inline constexpr int kErrorWhileLaminating = 37;
inline constexpr int kExtFlipperConnectionFailure = 39;
inline constexpr int kExtStackerConnectionFailure = 40;
inline constexpr int kExtFlipperConnectionFailure2 = 41;
inline constexpr int kInitializeFailure = 48;
inline constexpr int kErrorWhileProcessCommand = 49;
inline constexpr int kErrorWhileProcessUSBCommand = 50;
inline constexpr int kLaminateFilmEmpty = 52;
inline constexpr int kFilmSeekFailure = 53;
inline constexpr int kThermalHeadError = 54;
inline constexpr int kLaminateFilmIsAbsent = 55;
}  // namespace laminator

// Flipper (type 0x6, every id but 0x62) status bits; the second group exists only on the
// second board version (bit kBoardVer2).
namespace flipper {
inline constexpr int kCardInserting = 0;
inline constexpr int kCardEjecting = 1;
inline constexpr int kCardFlipping = 2;
inline constexpr int kCardMoving = 3;
inline constexpr int kReadyState = 16;
inline constexpr int kDoingCommand = 17;
inline constexpr int kBoardVer2 = 21;
inline constexpr int kFacedToBottom = 22;
inline constexpr int kFacedToTop = 23;
inline constexpr int kDetectCartridgeLockSensor = 24;
inline constexpr int kCartridgeIsFull = 26;
inline constexpr int kVerticalPositionControlSensor = 27;
inline constexpr int kHorizontalPositionControlSensor = 28;
inline constexpr int kDetectACardAtRightSensor = 29;
inline constexpr int kDetectACardAtCenterSensor = 30;
inline constexpr int kDetectACardAtLeftSensor = 31;
inline constexpr int kCardInsertError = 32;
inline constexpr int kCardEjectError = 33;
inline constexpr int kFlippingError = 34;
inline constexpr int kCardMovingError = 35;
inline constexpr int kInitializeFailure = 48;
inline constexpr int kIcContactorContacted = 4;
inline constexpr int kIcContactorReleased = 5;
inline constexpr int kExtendedBoardAbsent = 8;
inline constexpr int kDetectACardAtScannerInSensor = 9;
inline constexpr int kDetectACardAtScannerOutSensor = 10;
inline constexpr int kDetectIcContactor = 11;
inline constexpr int kNotInstalledScannerModule = 12;
inline constexpr int kDetectCaseOpenSensor = 25;
inline constexpr int kIcContactorContactError = 36;
inline constexpr int kIcContactorReleaseError = 37;
}  // namespace flipper

// Laser unit (id 0x62) status bits.
namespace laser {
inline constexpr int kCardInserting = 0;
inline constexpr int kCardEjecting = 1;
inline constexpr int kCardFlipping = 2;
inline constexpr int kCardMoving = 3;
inline constexpr int kIcContactorLifting = 4;
inline constexpr int kDoingMagneticRW = 5;
inline constexpr int kNoICCAM = 11;
inline constexpr int kVELAKLE = 15;
inline constexpr int kReadyState = 16;
inline constexpr int kDoingCommand = 17;
inline constexpr int kAutoCardInsertSet = 18;
inline constexpr int kPreparing = 19;
inline constexpr int kFacedToBottom = 20;
inline constexpr int kFacedToTop = 21;
inline constexpr int kFlipperTilted = 22;
inline constexpr int kDoorOpen = 24;
inline constexpr int kFlipperIsNearRight = 25;
inline constexpr int kDetectCardFromOptOutSensor = 26;
inline constexpr int kDetectCardFromFlipperOutSensor = 27;
inline constexpr int kDetectCardFromFlipperInSensor = 28;
inline constexpr int kDetectCardFromCardOutSensor = 29;
inline constexpr int kDetectCardFromFlipperCenterSensor = 30;
inline constexpr int kDetectCardFromCardInSensor = 31;
inline constexpr int kCardInsertError = 32;
inline constexpr int kCardEjectError = 33;
inline constexpr int kFlippingError = 34;
inline constexpr int kCardMovingError = 35;
inline constexpr int kIcContactorLiftingError = 36;
inline constexpr int kMagneticRWError = 37;
inline constexpr int kInitializeFailure = 48;
}  // namespace laser

// Output hopper (type 0x7) status bits.
namespace output_hopper {
inline constexpr int kCardInserting = 0;
inline constexpr int kLiftingUp = 2;
inline constexpr int kLiftingDown = 3;
inline constexpr int kReadyState = 16;
inline constexpr int kDoingCommand = 17;
inline constexpr int kDetectCardStandbySensor = 25;
inline constexpr int kOutputHopperHaveSpace = 26;
inline constexpr int kDetectCartridgeLockSensor = 27;
inline constexpr int kDetectCartridgeContactSensor = 28;
inline constexpr int kDetectAbleToInsertCardSensor = 29;
inline constexpr int kLiftedUp = 30;
inline constexpr int kDetectCardFromInSensor = 31;
inline constexpr int kErrorWhileInsertCard = 32;
inline constexpr int kErrorWhileLiftUp = 34;
inline constexpr int kErrorWhileLiftDown = 35;
inline constexpr int kInitializingFailure = 48;
}  // namespace output_hopper
// Status bits that mean "still busy", by module type: what a caller polls before it sends the
// next command to the module.
constexpr std::uint64_t BusyMask(int type) {
    switch (type) {
        case kTypeInputHopper:
            return 0x20002;
        case kTypeMultiInputHopper:
            return 0xFC0B;
        case kTypePrinter:
            return 0x5FF;
        case kTypeLaminator:
            return 0x2007F;
        case kTypeFlipper:
            return 0x20007;
        case kTypeOutputHopper:
            return 0x2000D;
        default:
            return 0;
    }
}

}  // namespace vela
