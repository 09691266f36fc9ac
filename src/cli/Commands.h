#pragma once

namespace ovlix::cli {

class Invocation;

// The run functions of the command table in main.cpp, one file each.
void runVerify(Invocation& call);     // VerifyCommand.cpp
void runX10(Invocation& call);        // X10Command.cpp
void runLabelsShow(Invocation& call); // LabelsCommand.cpp
void runLabelsSend(Invocation& call); // LabelsCommand.cpp
void runFind(Invocation& call);       // FindCommand.cpp

} // namespace ovlix::cli
