// How many processors the machine has, as the system reports it; at least 1.
#pragma once

unsigned ProcessorCount();
