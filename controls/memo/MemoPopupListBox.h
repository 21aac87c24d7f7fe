#pragma once
// Connects the memo's completion and template lists to the control family's popup list box.

// Makes the popup list box the list every memo opens (SetMemoPopupListMaker); the program calls it
// once at start-up, after InitMemoUnit.
void InstallMemoPopupListBox();
