#pragma once

class HXUserDefaults;

// The values settings take while the user has not set them; registered first thing at launch.
void HXRegisterDefaults(HXUserDefaults& defaults);
