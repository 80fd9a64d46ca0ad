// Rounding of yields to 2 decimals, as the MES shows them.
#pragma once

namespace velmora {

// `value` rounded to 2 decimals, a value exactly halfway in its shortest decimal form going to
// the even neighbour (0.125 gives 0.12, 0.375 gives 0.38, 2.675 gives 2.68): the rounding works on
// the digits a reader sees, not on the binary value's tiny excess or shortfall.
double roundHalfEvenToHundredths(double value);

}  // namespace velmora
