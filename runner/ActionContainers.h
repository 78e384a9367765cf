// An action of the XML form as the host's containers, in the shape of the container text
// that the run reads: "Commands" (each command and each save step, in order), "Input"
// and "Output" (none: an XML action saves in its steps). One run, one check and one trail
// then serve both forms.
#pragma once

#include "actions/XmlAction.h"

#include <string>

class CSequenceNode;

// Fills `root`, an owning node, with the containers of `action`. False, with `failure`
// saying why and nothing acquired, when a text the run reads as a path or a name cannot
// be written in the system's code page, or the host raised an error.
bool FillFromXmlAction(const actions::CXmlAction& action, CSequenceNode& root,
                       std::string& failure);
