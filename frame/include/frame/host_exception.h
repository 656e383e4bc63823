// Raising an exception of the host language from inside a registered function.
#pragma once

// Creates an instance of the host exception class className (PluginNewInstance),
// builds the message as a host string marked US-ASCII (0x600), raises the
// instance (RuntimeRaiseException), then sets its "Message" property to the
// string (a null string for a null or empty message) and drops the string's own
// reference. The message is set after the raise, on the instance already raised;
// the host's raise returns to its caller.
//
// When the host yields no instance, nothing is raised and no property is set on
// the missing instance; a message string that was built is still released.
//
// message stays the caller's; nothing is returned or reported.
void RaiseHostException(const char* className, const char* message);
