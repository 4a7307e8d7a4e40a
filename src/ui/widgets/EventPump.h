#pragma once
// Letting interface events run from inside a long command without burning the processor.

// Runs the event loop for about `ms` milliseconds: events are handled as they come and the
// thread sleeps between them.
void PumpEventsFor(int ms);
