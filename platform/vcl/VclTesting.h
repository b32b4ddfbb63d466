#pragma once
// Test support for the class library: every test starts from a clean program.
//
// ResetVcl frees every form, frame and data module, the application and screen objects, resets
// the window manager (WinTesting::ResetWindowManager) and sets the application and screen up
// again. Every class-library test fixture calls it in SetUp.
void ResetVcl();
