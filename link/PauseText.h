#pragma once

#include <QString>

// Why an Xmit Delay text gives no pause, in words for the message box: not a number, below 0,
// or beyond the longest pause the sleep can take (the largest 32-bit count of milliseconds).
// Meant for a text that sendToLcdPause or pasteAndSendPause (SendLoop.h) refused.
QString xmitDelayRefusal(const QString& xmitDelayText);
