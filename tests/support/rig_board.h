// Test rig, sensor board: the board the firmware binds in the rig, behind the library's export
// names: the library's own code in-process, or a misbehaving stand-in.
#pragma once

// Back to the library's board, no hidden exports, empty traces, no library bound; the in-process
// board's mailbox, folders, flag and sensor images as at power-on.
void RigBoard_Reset();
// Binds the chosen board through the firmware's own Link_BindLibrary (nothing without a library).
void RigBoard_Bind();
