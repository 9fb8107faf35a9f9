#pragma once

// Figures of this process that the benchmarks print.

// The peak resident memory of this process, in megabytes; -1 where the system does not tell.
double PeakResidentMb();

// The resident memory of this process now, in megabytes; -1 where the system does not tell.
double CurrentResidentMb();

// Lets the peak start again from the present resident size.
void ResetPeak();
