// Sensor capabilities and DPI codes of the Veltrane Orvandel mice.
// Read line by line by the configuration utility; never compiled.
// Support lines list the sensors that offer a feature; DPI defines give the
// device code of each DPI value for sensors that use a code table.

#define SUPPORT_SENSOR_MODE_SEL	3950,3395
#define SUPPORT_LOD_CAL	3950,3395
#define SUPPORT_RIPPLE	3950,3395,S100
#define SUPPORT_FIXLINE	3950,3395,S100
#define SUPPORT_MOTION_SYNC	3950,3395
#define SUPPORT_MOUSEPAD_CAL	3950,3395

// Sensor 3950: one code per 50 DPI.
#define SENSOR_3950_DPI_50	0x00
#define SENSOR_3950_DPI_100	0x01
#define SENSOR_3950_DPI_150	0x02
#define SENSOR_3950_DPI_200	0x03
#define SENSOR_3950_DPI_250	0x04
#define SENSOR_3950_DPI_300	0x05
#define SENSOR_3950_DPI_350	0x06
#define SENSOR_3950_DPI_400	0x07
#define SENSOR_3950_DPI_450	0x08
#define SENSOR_3950_DPI_500	0x09
#define SENSOR_3950_DPI_550	0x0A
#define SENSOR_3950_DPI_600	0x0B
#define SENSOR_3950_DPI_650	0x0C
#define SENSOR_3950_DPI_700	0x0D
#define SENSOR_3950_DPI_750	0x0E
#define SENSOR_3950_DPI_800	0x0F
#define SENSOR_3950_DPI_850	0x10
#define SENSOR_3950_DPI_900	0x11
#define SENSOR_3950_DPI_950	0x12
#define SENSOR_3950_DPI_1000	0x13
#define SENSOR_3950_DPI_1050	0x14
#define SENSOR_3950_DPI_1100	0x15
#define SENSOR_3950_DPI_1150	0x16
#define SENSOR_3950_DPI_1200	0x17
#define SENSOR_3950_DPI_1250	0x18
#define SENSOR_3950_DPI_1300	0x19
#define SENSOR_3950_DPI_1350	0x1A
#define SENSOR_3950_DPI_1400	0x1B
#define SENSOR_3950_DPI_1450	0x1C
#define SENSOR_3950_DPI_1500	0x1D
#define SENSOR_3950_DPI_1550	0x1E
#define SENSOR_3950_DPI_1600	0x1F
