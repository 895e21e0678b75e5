// The measurement run with its drawing: evaluates the job and draws the report.
#pragma once

// Evaluates the whole job (kind 0 SDR, 1 HDR) and draws the report.
void start_measure(int kind);
