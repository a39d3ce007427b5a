#pragma once
// The one list of the SDK library's 248 exports, grouped by family.
//
//   VELA_FN(ret, name, params)  an export the programs call, with its signature;
//   VELA_UNUSED(name)           an export no program calls (bound, never invoked).
//
// Include this file after defining both macros, or use VELA_FOR_EACH_EXPORT(FN, UNUSED).
// Everything else (pointer types, binding slots, name table, trace lines, the simulator's
// definitions) is generated from this list.

#include "vela_types.h"

// clang-format off
#define VELA_FOR_EACH_EXPORT(FN, UNUSED)                                                              \
    /* Discovery, connection and device information */                                               \
    FN(VelaResult, Vela_GetDeviceList, (DeviceList* list))                                            \
    FN(VelaResult, Vela_ExGetDeviceList, (DeviceList* list, std::int32_t mode))                       \
    FN(VelaResult, Vela_GetDeviceInfo, (DeviceInfo* info, const VelaChar* device, std::int32_t flags)) \
    UNUSED(Vela_OpenDevice)                                                                           \
    UNUSED(Vela_ExOpenDevice)                                                                         \
    FN(VelaResult, Vela_CloseDevice, (VelaHandle h))                                                  \
    FN(VelaResult, Vela_ExSelectDevice, (VelaHandle h, std::int32_t module))                          \
    FN(VelaResult, Vela_GetRibbonInfo, (VelaHandle h, std::int32_t module, std::int32_t* ribbonType,  \
                                        std::int32_t* countA, std::int32_t* countB))                  \
    UNUSED(Vela_GetVRInfo)                                                                            \
    FN(VelaResult, Vela_GetConnectedDevices, (VelaHandle h, ConnectedModuleList* list))               \
    UNUSED(Vela_GetConnectedModules)                                                                  \
    FN(VelaResult, Vela_GetVersion, (VelaHandle h, VelaChar* text, std::int32_t* capacity))           \
    UNUSED(Vela_IsBackEnable)                                                                         \
    UNUSED(Vela_GetCountParam)                                                                        \
    UNUSED(Vela_GetCountParamEx)                                                                      \
    UNUSED(Vela_GetDisplayInfo)                                                                       \
    UNUSED(Vela_GetSystemInfo)                                                                        \
    /* Direct connections */                                                                          \
    FN(VelaResult, VelaDCL_OpenDevice, (VelaHandle* h, const VelaChar* device, std::int32_t a,        \
                                        std::int32_t b))                                              \
    FN(VelaResult, VelaDCL_OpenDevice3, (VelaHandle* h, const VelaChar* device, std::int32_t port,    \
                                         std::int32_t a, std::int32_t b))                             \
    FN(VelaResult, VelaDCL_OpenDeviceAsUser, (VelaHandle* h, const VelaChar* device, std::int32_t a,  \
                                              std::int32_t b))                                        \
    FN(VelaResult, VelaDCL_ExOpenDevice, (VelaHandle* h, const VelaChar* device, std::int32_t a,      \
                                          std::int32_t b))                                            \
    FN(VelaResult, VelaDCL_CloseDevice, (VelaHandle h))                                               \
    UNUSED(VelaDCL_GetSurface)                                                                        \
    FN(VelaResult, VelaDCL_Print, (VelaHandle h, std::int32_t flags))                                 \
    UNUSED(VelaDCL_Print2)                                                                            \
    UNUSED(VelaDCL_ExPrint)                                                                           \
    /* Document, fields and drawing */                                                               \
    FN(VelaResult, Vela_OpenDocument, (VelaHandle h, const VelaChar* path))                           \
    FN(VelaResult, Vela_CloseDocument, (VelaHandle h))                                                \
    UNUSED(Vela_ClearDocument)                                                                        \
    UNUSED(Vela_GetFieldCount)                                                                        \
    UNUSED(Vela_GetFieldName)                                                                         \
    UNUSED(Vela_GetFieldValue)                                                                        \
    UNUSED(Vela_SetFieldValue)                                                                        \
    FN(VelaResult, Vela_DrawImage, (VelaHandle h, std::int32_t page, std::int32_t panel,              \
                                    std::int32_t x, std::int32_t y, std::int32_t width,               \
                                    std::int32_t height, const VelaChar* path, std::int32_t flags))   \
    UNUSED(Vela_ExDrawImage)                                                                          \
    UNUSED(Vela_DrawBitmap)                                                                           \
    FN(VelaResult, Vela_DrawText, (VelaHandle h, std::int32_t page, std::int32_t panel,               \
                                   std::int32_t x, std::int32_t y, const VelaChar* font,              \
                                   std::int32_t size, std::int32_t style, const VelaChar* text,       \
                                   std::int32_t flags))                                               \
    UNUSED(Vela_DrawText2)                                                                            \
    UNUSED(Vela_DrawRect)                                                                             \
    UNUSED(Vela_DrawBarcode)                                                                          \
    UNUSED(Vela_GetBarcodeTypeCount)                                                                  \
    UNUSED(Vela_GetBarcodeTypeName)                                                                   \
    UNUSED(Vela_Print)                                                                                \
    UNUSED(Vela_SetICG)                                                                               \
    UNUSED(Vela_GetICG)                                                                               \
    FN(VelaResult, Vela_GetPreviewBitmap, (VelaHandle h, std::int32_t page, VelaBitmap* bitmap))      \
    UNUSED(Vela_GetDocumentBitmap)                                                                    \
    UNUSED(Vela_GetUnitInfo)                                                                          \
    UNUSED(Vela_GetFieldLinkedUnitInfo)                                                               \
    UNUSED(Vela_SetUnitInfo)                                                                          \
    UNUSED(Vela_GetUnitInfo2)                                                                         \
    UNUSED(Vela_GetFieldLinkedUnitInfo2)                                                              \
    UNUSED(Vela_SetUnitInfo2)                                                                         \
    UNUSED(Vela_GetUnitInfo2Direct)                                                                   \
    /* Design objects */                                                                             \
    UNUSED(Vela_ExGetFieldIndex)                                                                      \
    UNUSED(Vela_ExGetMagneticUsage)                                                                   \
    UNUSED(Vela_ExGetMagneticString)                                                                  \
    UNUSED(Vela_ExSetBackImage)                                                                       \
    UNUSED(Vela_ExHasBackImage)                                                                       \
    UNUSED(Vela_ExSetBackColor)                                                                       \
    UNUSED(Vela_ExGetBackColor)                                                                       \
    UNUSED(Vela_ExCreateObject)                                                                       \
    UNUSED(Vela_ExGetObjectInfo)                                                                      \
    UNUSED(Vela_ExGetFirstObjectInfo)                                                                 \
    UNUSED(Vela_ExGetNextObjectInfo)                                                                  \
    UNUSED(Vela_ExReleaseObjectInfo)                                                                  \
    UNUSED(Vela_ExUpdateObject)                                                                       \
    UNUSED(Vela_ExCreateObject2)                                                                      \
    UNUSED(Vela_ExGetObjectInfo2)                                                                     \
    UNUSED(Vela_ExReleaseObjectInfo2)                                                                 \
    UNUSED(Vela_ExUpdateObject2)                                                                      \
    UNUSED(Vela_ExGetFirstObjectInfo2)                                                                \
    UNUSED(Vela_ExGetNextObjectInfo2)                                                                 \
    UNUSED(Vela_ExDeleteObject)                                                                       \
    UNUSED(Vela_ExRebirthObject)                                                                      \
    UNUSED(Vela_ExCreateField)                                                                        \
    UNUSED(Vela_ExGetFieldInfo)                                                                       \
    UNUSED(Vela_ExReleaseFieldInfo)                                                                   \
    UNUSED(Vela_ExUpdateField)                                                                        \
    UNUSED(Vela_ExDeleteField)                                                                        \
    /* Contact and contactless chips */                                                              \
    FN(VelaResult, Vela_ICHContact, (VelaHandle h, std::int32_t module))                              \
    FN(VelaResult, Vela_ICHDiscontact, (VelaHandle h, std::int32_t module))                           \
    UNUSED(Vela_RFPowerOn)                                                                            \
    UNUSED(Vela_RFPowerOff)                                                                           \
    UNUSED(Vela_RFTransmit)                                                                           \
    FN(VelaResult, Vela_RFPowerOn2, (VelaHandle h, std::int32_t module, std::int32_t* length,         \
                                     std::uint8_t* atr))                                              \
    FN(VelaResult, Vela_RFPowerOff2, (VelaHandle h, std::int32_t module))                             \
    FN(VelaResult, Vela_RFTransmit2, (VelaHandle h, std::int32_t module, std::int32_t frameLength,    \
                                      const std::uint8_t* frame, std::int32_t* responseLength,        \
                                      std::uint8_t* response))                                        \
    UNUSED(Vela_ICPowerOn)                                                                            \
    UNUSED(Vela_ICPowerOff)                                                                           \
    UNUSED(Vela_ICTransmit)                                                                           \
    FN(VelaResult, Vela_ICPowerOn2, (VelaHandle h, std::int32_t module, std::int32_t* length,         \
                                     std::uint8_t* atr))                                              \
    FN(VelaResult, Vela_ICPowerOff2, (VelaHandle h, std::int32_t module))                             \
    UNUSED(Vela_ICTransmit2)                                                                          \
    UNUSED(Vela_ExIC_Init)                                                                            \
    UNUSED(Vela_ExIC_GetReaderCount)                                                                  \
    UNUSED(Vela_ExIC_GetReaderName)                                                                   \
    UNUSED(Vela_ExIC_GetICReaderInfo)                                                                 \
    UNUSED(Vela_ExIC_GetSIMReaderInfo)                                                                \
    UNUSED(Vela_ExIC_Contact)                                                                         \
    UNUSED(Vela_ExIC_Uninit)                                                                          \
    UNUSED(Vela_ExIC_GetATR)                                                                          \
    UNUSED(Vela_ExIC_GetLastError)                                                                    \
    UNUSED(Vela_ExIC_ClearLastError)                                                                  \
    UNUSED(Vela_ExRFPCSC_Init)                                                                        \
    UNUSED(Vela_ExRFPCSC_Connect)                                                                     \
    UNUSED(Vela_ExRFPCSC_Uninit)                                                                      \
    UNUSED(Vela_ExRFPCSC_GetReaderCount)                                                              \
    UNUSED(Vela_ExRFPCSC_GetReaderName)                                                               \
    UNUSED(Vela_ExRFPCSC_GetDefaultReader)                                                            \
    /* User memory: optional, never called */                                                        \
    UNUSED(Vela_ReadUserMemory)                                                                       \
    UNUSED(Vela_WriteUserMemory)                                                                      \
    /* Identity, settings, security and counters */                                                  \
    FN(VelaResult, Vela_ExGetSerial, (VelaHandle h, VelaChar* text, std::int32_t* capacity))          \
    FN(VelaResult, Vela_ExSetSerial, (VelaHandle h, const VelaChar* serial, std::int32_t length,      \
                                      const std::uint8_t* digest, std::int32_t digestLength))         \
    FN(VelaResult, Vela_ExGetHeadSerial, (VelaHandle h, VelaChar* text, std::int32_t* capacity))      \
    FN(VelaResult, Vela_ExSetHeadSerial, (VelaHandle h, const VelaChar* serial, std::int32_t length,  \
                                          const std::uint8_t* digest, std::int32_t digestLength))     \
    FN(VelaResult, Vela_ExGetDevParam, (VelaHandle h, void* values, std::int32_t* byteCount))         \
    FN(VelaResult, Vela_ExSetDevParam, (VelaHandle h, const void* values, std::int32_t byteCount,     \
                                        const VelaChar* password))                                    \
    UNUSED(Vela_ExGetDevExParam)                                                                      \
    UNUSED(Vela_ExSetDevExParam)                                                                      \
    UNUSED(Vela_ExGetDevParam2)                                                                       \
    UNUSED(Vela_ExSetDevParam2)                                                                       \
    FN(VelaResult, Vela_ExSetPassword, (VelaHandle h, const VelaChar* password,                       \
                                        const VelaChar* newPassword))                                 \
    FN(VelaResult, Vela_ExSetUserPassword, (VelaHandle h, const VelaChar* password,                   \
                                            const VelaChar* newUserPassword))                         \
    UNUSED(Vela_ExGetDeviceID)                                                                        \
    FN(VelaResult, Vela_ExSetDeviceID, (VelaHandle h, const VelaChar* id, const VelaChar* extra))     \
    FN(VelaResult, Vela_ExSetPCName, (VelaHandle h, const VelaChar* password,                         \
                                      const std::uint8_t* block, std::int32_t length))                \
    UNUSED(Vela_ExUnlockPrinter)                                                                      \
    UNUSED(Vela_ExUnlockPrinter2)                                                                     \
    UNUSED(Vela_ExUnlockPrinter3)                                                                     \
    UNUSED(Vela_ExLockPrinter2)                                                                       \
    FN(VelaResult, Vela_ExSetMagCryptKey, (VelaHandle h, const VelaChar* password,                    \
                                           const std::uint8_t* key, std::int32_t length))             \
    FN(VelaResult, Vela_ExVerifyPassword, (VelaHandle h, const VelaChar* password))                   \
    UNUSED(Vela_ExGetTemperature)                                                                     \
    FN(VelaResult, Vela_ExGetUserIssueCount, (VelaHandle h, void* record, std::int32_t* byteCount))   \
    FN(VelaResult, Vela_ExSetUserIssueCount, (VelaHandle h, const void* record,                       \
                                              std::int32_t byteCount, const VelaChar* password))      \
    FN(VelaResult, Vela_ExGetFactIssueCount, (VelaHandle h, void* record, std::int32_t* byteCount))   \
    FN(VelaResult, Vela_ExSetFactIssueCount, (VelaHandle h, const void* record,                       \
                                              std::int32_t byteCount, const VelaChar* password))      \
    UNUSED(Vela_ExIncreaseIntICCount)                                                                 \
    UNUSED(Vela_ExIncreaseExtICCount)                                                                 \
    UNUSED(Vela_ExIncreaseIntRFCount)                                                                 \
    UNUSED(Vela_ExIncreaseExtRFCount)                                                                 \
    FN(VelaResult, Vela_ExSetConfig, (VelaHandle h, std::int32_t item, std::int32_t value))           \
    UNUSED(Vela_ExGetConfig)                                                                          \
    UNUSED(Vela_ExGetMonitorings)                                                                     \
    UNUSED(Vela_ExGetMonitoringsFast)                                                                 \
    UNUSED(Vela_Ex_ChangeModelType)                                                                   \
    FN(VelaResult, Vela_ExToggleTestMode, (VelaHandle h))                                             \
    UNUSED(Vela_ExSendDumpKey)                                                                        \
    UNUSED(Vela_ExGetStatus)                                                                          \
    UNUSED(Vela_ExGetStatus2)                                                                         \
    UNUSED(Vela_ExAutoRotatorSet)                                                                     \
    UNUSED(Vela_ExSendTest)                                                                           \
    /* Raw data and command pass-through */                                                          \
    UNUSED(Vela_ExPrintPRN)                                                                           \
    UNUSED(Vela_ExWriteBinary)                                                                        \
    FN(VelaResult, Vela_ExWriteData, (VelaHandle h, const std::uint8_t* data, std::int32_t size))     \
    FN(VelaResult, Vela_ExCmdSend, (VelaHandle h, const std::uint8_t* command, std::int32_t length))  \
    UNUSED(Vela_ExCmdRecv)                                                                            \
    UNUSED(Vela_ExSerialCmdSend)                                                                      \
    UNUSED(Vela_ExSerialCmdRecv)                                                                      \
    /* Ribbon tag */                                                                                 \
    UNUSED(Vela_ExToggleRibbonTagCheck)                                                               \
    UNUSED(Vela_ExToggleRibbonTagSeek)                                                                \
    UNUSED(Vela_ExToggleRibbonTagRead)                                                                \
    UNUSED(Vela_ExToggleRibbonTagWrite)                                                               \
    UNUSED(Vela_ExToggleRibbonTagSubWrite)                                                            \
    UNUSED(Vela_ExRibbonTagStatus)                                                                    \
    /* Module state and manual control */                                                            \
    FN(VelaResult, Vela_RequestPreemption, (VelaHandle h, std::uint16_t* token))                      \
    FN(VelaResult, Vela_ReleasePreemption, (VelaHandle h, std::uint16_t token))                       \
    FN(VelaResult, Vela_GetModuleState, (VelaHandle h, std::int32_t module, std::uint8_t* state))     \
    UNUSED(Vela_UpdateModuleState)                                                                    \
    FN(VelaResult, Vela_GetStatus, (VelaHandle h, std::int32_t module, std::uint64_t* status))        \
    UNUSED(Vela_GetStatusEx)                                                                          \
    UNUSED(Vela_IsModuleReady)                                                                        \
    UNUSED(Vela_IsReadyInsertJob)                                                                     \
    FN(VelaResult, Vela_ToggleManualMode, (VelaHandle h))                                             \
    FN(VelaResult, Vela_UpdateCurrPrintJob, (VelaHandle h, std::int32_t module))                      \
    FN(VelaResult, Vela_GetCurrPrintJob, (VelaHandle h, std::int32_t module, std::uint16_t* jobId))   \
    FN(VelaResult, Vela_DeleteCurrPrintJob, (VelaHandle h, std::int32_t module))                      \
    /* Card transport */                                                                             \
    FN(VelaResult, Vela_CardIn, (VelaHandle h, std::int32_t module, std::int32_t direction,           \
                                 std::int32_t flags))                                                 \
    FN(VelaResult, Vela_CardOut, (VelaHandle h, std::int32_t module, std::int32_t direction,          \
                                  std::int32_t flags))                                                \
    UNUSED(Vela_CardMove)                                                                             \
    FN(VelaResult, Vela_CardMove2, (VelaHandle h, std::int32_t source, std::int32_t hopperLine,       \
                                    std::int32_t destination, std::int32_t a, std::int32_t b))        \
    UNUSED(Vela_CardListMove)                                                                         \
    FN(VelaResult, Vela_CardMoveQuick, (VelaHandle h, std::int32_t module, std::int32_t direction,    \
                                        std::int32_t flags))                                          \
    FN(VelaResult, Vela_CardPass, (VelaHandle h, std::int32_t module, std::int32_t passFlags,         \
                                   std::int32_t flags))                                               \
    FN(VelaResult, Vela_CardFlipPass, (VelaHandle h, std::int32_t module, std::int32_t flipFlags,     \
                                       std::int32_t flags))                                           \
    UNUSED(Vela_CardFlip)                                                                             \
    UNUSED(Vela_CardFlip2)                                                                            \
    UNUSED(Vela_CardFlipStay)                                                                         \
    UNUSED(Vela_Flip)                                                                                 \
    FN(VelaResult, Vela_CardMoveSensor, (VelaHandle h, std::int32_t module, std::int32_t option,      \
                                         std::int32_t distance, std::int32_t speed))                  \
    UNUSED(Vela_CardMoveSensor2)                                                                      \
    FN(VelaResult, Vela_CardMovePosition, (VelaHandle h, std::int32_t module, std::int32_t position)) \
    UNUSED(Vela_CardMovePosition2)                                                                    \
    UNUSED(Vela_CardEject)                                                                            \
    FN(VelaResult, Vela_CardEjectBin, (VelaHandle h, std::int32_t module, std::int32_t bin))          \
    FN(VelaResult, Vela_CardEject2, (VelaHandle h, std::int32_t module, std::int32_t a,               \
                                     std::int32_t destination, std::int32_t extra))                   \
    /* Magnetic encoder (and the scanner, which shares its calls) */                                 \
    FN(VelaResult, Vela_SetEncConfig, (VelaHandle h, std::int32_t module, std::int32_t item,          \
                                       std::int32_t value))                                           \
    FN(VelaResult, Vela_GetEncConfig2, (VelaHandle h, std::int32_t module, std::int32_t item,         \
                                        void* record, std::int32_t* length))                          \
    FN(VelaResult, Vela_SetEncConfig2, (VelaHandle h, std::int32_t module, std::int32_t item,         \
                                        const void* record, std::int32_t length))                     \
    FN(VelaResult, Vela_SetEncBuffer, (VelaHandle h, std::int32_t module, std::int32_t track,         \
                                       std::int32_t length, const VelaChar* text))                    \
    FN(VelaResult, Vela_SetCryptoEncBuffer, (VelaHandle h, std::int32_t module, std::int32_t track,   \
                                             std::int32_t length, const VelaChar* text,               \
                                             const std::uint8_t* key))                                \
    FN(VelaResult, Vela_WriteEncoder, (VelaHandle h, std::int32_t module, std::int32_t trackMask,     \
                                       std::int32_t mode))                                            \
    FN(VelaResult, Vela_ReadEncoder, (VelaHandle h, std::int32_t module, std::int32_t trackMask,      \
                                      std::int32_t mode))                                             \
    FN(VelaResult, Vela_FetchEncoder, (VelaHandle h, std::int32_t module, std::int32_t trackMask))    \
    FN(VelaResult, Vela_GetEncBuffer, (VelaHandle h, std::int32_t module, std::int32_t track,         \
                                       std::int32_t* length, VelaChar* text))                         \
    FN(VelaResult, Vela_GetCryptoEncBuffer, (VelaHandle h, std::int32_t module, std::int32_t track,   \
                                             std::int32_t* length, VelaChar* text,                    \
                                             const std::uint8_t* key))                                \
    FN(VelaResult, Vela_RunEncoder, (VelaHandle h, std::int32_t module, std::int32_t item,            \
                                     std::int32_t operation, void* data, std::int32_t* length))       \
    UNUSED(Vela_MagWrite)                                                                             \
    UNUSED(Vela_MagRead)                                                                              \
    /* Printing and jobs */                                                                          \
    FN(VelaResult, Vela_GetPrinterSettings, (VelaHandle h, std::int32_t module,                       \
                                             PrinterSettings* settings))                              \
    FN(VelaResult, Vela_SetPrinterSettings, (VelaHandle h, std::int32_t module,                       \
                                             const PrinterSettings* settings))                        \
    FN(VelaResult, Vela_PrintDocument, (VelaHandle h, std::int32_t flags, std::int32_t* printData))   \
    UNUSED(Vela_SetJobCallback)                                                                       \
    FN(VelaResult, Vela_PrintStart, (VelaHandle h, std::int32_t module, std::int32_t cardIn,          \
                                     std::int32_t flags))                                             \
    UNUSED(Vela_GetJobInfo)                                                                           \
    UNUSED(Vela_GetJobInfoEx)                                                                         \
    FN(VelaResult, Vela_GetMyPrnId, (VelaHandle h, std::int32_t printData, std::int32_t page,         \
                                     std::int32_t* id))                                               \
    /* The data stays owned by the SDK: valid until the next Vela_GetMyPrnData or */                  \
    /* Vela_PrintDocument on that connection, or until it closes. */                                  \
    FN(VelaResult, Vela_GetMyPrnData, (VelaHandle h, std::int32_t printData, std::int32_t page,       \
                                       const std::uint8_t** data, std::int32_t* size))                \
    UNUSED(Vela_NewJobDescriptor)                                                                     \
    UNUSED(Vela_FreeJobDescriptor)                                                                    \
    UNUSED(Vela_AddJobItem)                                                                           \
    UNUSED(Vela_AddJobItemMove)                                                                       \
    UNUSED(Vela_AddJobItemFlip)                                                                       \
    UNUSED(Vela_AddJobItemMagnetic)                                                                   \
    UNUSED(Vela_AddJobItemContact)                                                                    \
    UNUSED(Vela_AddJobItemContactless)                                                                \
    UNUSED(Vela_AddJobItemScanImage)                                                                  \
    UNUSED(Vela_AddJobItemScanBarcode)                                                                \
    UNUSED(Vela_AddJobItemPrint)                                                                      \
    UNUSED(Vela_AddJobItemLaminate)                                                                   \
    UNUSED(Vela_AddJobItemUser)                                                                       \
    UNUSED(Vela_InsertJob)                                                                            \
    UNUSED(Vela_DeleteJob)                                                                            \
    UNUSED(Vela_ClearJobs)                                                                            \
    UNUSED(Vela_SpoolPrint)                                                                           \
    UNUSED(Vela_CheckSpoolPrint)                                                                      \
    UNUSED(Vela_IsReadySpoolPrint)                                                                    \
    /* Laser unit */                                                                                 \
    UNUSED(Vela_LaserConnect)                                                                         \
    UNUSED(Vela_LaserDisconnect)                                                                      \
    UNUSED(Vela_LDrawLine)                                                                            \
    UNUSED(Vela_LDrawRect)                                                                            \
    UNUSED(Vela_LDrawOval)                                                                            \
    UNUSED(Vela_LDrawRRect)                                                                           \
    UNUSED(Vela_LDrawText)                                                                            \
    UNUSED(Vela_LDrawBarcode)                                                                         \
    UNUSED(Vela_LDrawImage)                                                                           \
    UNUSED(Vela_LDrawBitmap)

// The four exports that are bound a second time into a slot of their own.
#define VELA_FOR_EACH_SECOND_SLOT(X) \
    X(Vela_ExDrawImage)              \
    X(Vela_ExIC_GetICReaderInfo)     \
    X(Vela_ExIC_GetSIMReaderInfo)    \
    X(Vela_ExRFPCSC_GetReaderName)

// Exports that may be missing from the library without failing the binding.
#define VELA_FOR_EACH_OPTIONAL(X) \
    X(Vela_ReadUserMemory)        \
    X(Vela_WriteUserMemory)
// clang-format on

// Signature given to exports no program calls: the handle only. They are never invoked.
#define VELA_UNUSED_SIGNATURE (VelaHandle h)

// Result of an export the simulator does not support (no program calls it).
inline constexpr VelaResult kVelaNotSupported = static_cast<VelaResult>(0x80000010u);

namespace vela {
// Number of distinct export names and of binding slots.
#define VELA_COUNT_ONE(...) +1
inline constexpr int kExportCount = 0 VELA_FOR_EACH_EXPORT(VELA_COUNT_ONE, VELA_COUNT_ONE);
inline constexpr int kSlotCount = kExportCount VELA_FOR_EACH_SECOND_SLOT(VELA_COUNT_ONE);
#undef VELA_COUNT_ONE
static_assert(kExportCount == 248, "the SDK has 248 exports");
static_assert(kSlotCount == 252, "248 exports, four of them bound twice");
}  // namespace vela

// Pointer types: PFN_<name>.
#define VELA_DECLARE_PFN(ret, name, params) using PFN_##name = ret(VELA_API*) params;
#define VELA_DECLARE_PFN_UNUSED(name) \
    using PFN_##name = VelaResult(VELA_API*) VELA_UNUSED_SIGNATURE;
VELA_FOR_EACH_EXPORT(VELA_DECLARE_PFN, VELA_DECLARE_PFN_UNUSED)
#undef VELA_DECLARE_PFN
#undef VELA_DECLARE_PFN_UNUSED
