// The security and identity commands of the main window.

#include "CKestraConfigDlg.h"

void CKestraConfigDlg::OnChangeRootPW() {}
void CKestraConfigDlg::OnChangeUserPW() {}
void CKestraConfigDlg::OnChangePrinterID() {}
void CKestraConfigDlg::OnChangeHead() {}
void CKestraConfigDlg::OnSetPCSerial() {}
void CKestraConfigDlg::OnSetMagEncryptKey() {}
