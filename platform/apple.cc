// Apple: CoreGraphics posts each event the moment CGEventPost is called, so there is nothing
// left to deliver at the end of a line.
#include "platform/deliver.h"

void deliverPostedEvents() {}
void beforeInputWait() {}
