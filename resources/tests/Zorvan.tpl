{
 "name": "Zorvan-T",
 "template": "Zorvan-M",
 "description": "Тест записи в прибор Зорван-Т",
 "device": {
  "commands": [
   {
    "number": 0,
    "description": "Чтение идентификатора прибора",
    "cycles": 3
   },
   {
    "number": 1,
    "description": "Чтение первичной переменной прибора",
    "cycles": 5
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "cycles": 10,
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 6,
    "description": "Запись адреса опроса",
    "parameters": {
     "polling_address": [
      1,
      2,
      0
     ]
    },
    "read_cmd": 7,
    "cycles": 3
   },
   {
    "number": 40,
    "description": "Запись значения фиксированного тока 4 мА",
    "parameters": {
     "fixed_current": [
      4,
      20,
      4
     ]
    },
    "cycles": 2,
    "print": [
     "fixed_current"
    ]
   },
   {
    "number": 2,
    "description": "Чтение выходного тока прибора",
    "print": [
     "output_current"
    ]
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "cycles": 5,
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 40,
    "description": "Запись значения фиксированного тока 20 мА",
    "parameters": {
     "fixed_current": [
      20,
      4,
      20
     ]
    },
    "cycles": 2,
    "print": [
     "fixed_current"
    ]
   },
   {
    "number": 2,
    "description": "Чтение выходного тока прибора",
    "print": [
     "output_current",
     "output_current_%"
    ]
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "cycles": 5,
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 40,
    "description": "Выход из режима фиксированного тока",
    "parameters": {
     "fixed_current": [
      0
     ]
    },
    "print": [
     "fixed_current"
    ]
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "cycles": 5,
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 40,
    "description": "Запись значения фиксированного тока 12 мА",
    "parameters": {
     "fixed_current": [
      12
     ]
    },
    "print": [
     "fixed_current"
    ]
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "cycles": 5,
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 35,
    "description": "Запись кода единиц измерения и значений диапазона",
    "parameters": {
     "PV_unit_code": [
      32
     ],
     "range_min": [
      -100
     ],
     "range_max": [
      150
     ]
    },
    "read_cmd": 15
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 17,
    "description": "Запись сообщения",
    "parameters": {
     "message": [
      "TESTMSG111",
      "TESTMSG222",
      "TESTMSG3333"
     ]
    },
    "read_cmd": 12
   },
   {
    "number": 6,
    "description": "Запись адреса опроса - 1, 0, 2",
    "parameters": {
     "polling_address": [
      1,
      0,
      2
     ]
    },
    "read_cmd": 7,
    "print": [
     "polling_address"
    ]
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "cycles": 5,
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 17,
    "description": "Запись сообщения",
    "parameters": {
     "message": [
      "MSGTEST111",
      "MSGTEST222",
      "MSGTEST3333",
      "MSGTEST4444"
     ]
    },
    "read_cmd": 12
   },
   {
    "number": 6,
    "description": "Запись адреса опроса - 1, 0",
    "parameters": {
     "polling_address": [
      1,
      0
     ]
    },
    "read_cmd": 7,
    "print": [
     "polling_address"
    ]
   },
   {
    "number": 18,
    "description": "Запись тега, дескриптора и даты",
    "parameters": {
     "tag": [
      "TEST",
      "TEST1",
      "TEST22",
      "TEST333",
      "TEST4444"
     ],
     "descriptor": [
      "DESCRIPTOR1",
      "DESCRIPTOR2",
      "DESCRIPTOR3",
      "DESCRIPTOR4",
      "DESCRIPTOR5"
     ],
     "date": [
      "2018-07-10",
      "2018-07-11",
      "2018-07-12",
      "2018-07-13",
      "2018-07-14"
     ]
    },
    "read_cmd": 13
   },
   {
    "number": 34,
    "description": "Запись величины демпфирования",
    "parameters": {
     "damping_time": [
      1,
      3,
      5,
      7
     ]
    },
    "read_cmd": 15
   },
   {
    "number": 35,
    "description": "Запись кода единиц измерения и значений диапазона",
    "parameters": {
     "PV_unit_code": [
      32,
      32
     ],
     "range_min": [
      0,
      -80
     ],
     "range_max": [
      100,
      300
     ]
    },
    "read_cmd": 15
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 2,
    "description": "Чтение выходного тока прибора",
    "print": [
     "output_current",
     "output_current_%"
    ]
   },
   {
    "number": 35,
    "description": "Запись кода единиц измерения и значений диапазона",
    "parameters": {
     "PV_unit_code": [
      32
     ],
     "range_min": [
      0
     ],
     "range_max": [
      100
     ]
    },
    "read_cmd": 15
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 2,
    "description": "Чтение выходного тока прибора",
    "print": [
     "output_current",
     "output_current_%"
    ]
   },
   {
    "number": 35,
    "description": "Запись кода единиц измерения и значений диапазона",
    "parameters": {
     "PV_unit_code": [
      32
     ],
     "range_min": [
      50
     ],
     "range_max": [
      100
     ]
    },
    "read_cmd": 15
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 2,
    "description": "Чтение выходного тока прибора",
    "print": [
     "output_current",
     "output_current_%"
    ]
   },
   {
    "number": 35,
    "description": "Запись кода единиц измерения и значений диапазона",
    "parameters": {
     "PV_unit_code": [
      32
     ],
     "range_min": [
      -10
     ],
     "range_max": [
      200
     ]
    },
    "read_cmd": 15
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 2,
    "description": "Чтение выходного тока прибора",
    "print": [
     "output_current",
     "output_current_%"
    ]
   },
   {
    "number": 130,
    "description": "Чтение конфигурации прибора",
    "print": [
     "decimal_point_position",
     "input_signal_type",
     "sensor_type",
     "connection_schema",
     "resistanceTS_0"
    ]
   },
   {
    "number": 133,
    "description": "Запись значения положения десятичной точки",
    "parameters": {
     "decimal_point_position": [
      0,
      1
     ]
    },
    "read_cmd": 132
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 6,
    "description": "Запись адреса опроса - 1",
    "parameters": {
     "polling_address": [
      1
     ]
    },
    "read_cmd": 7,
    "print": [
     "polling_address"
    ]
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 151,
    "description": "Запись типа входного сигнала - ТП, ДСК, ТС",
    "parameters": {
     "input_signal_type": [
      1,
      2,
      0
     ]
    },
    "read_cmd": 150,
    "delay": 50,
    "read_delay": 100,
    "cycles": 5
   },
   {
    "number": 152,
    "description": "Запись типа сенсора (для ТС - все по порядку)",
    "parameters": {
     "sensor_type": [
      0,
      1,
      2,
      3,
      4,
      0
     ]
    },
    "read_cmd": 150,
    "delay": 70,
    "read_delay": 50
   },
   {
    "number": 6,
    "description": "Запись адреса опроса - 0",
    "parameters": {
     "polling_address": [
      0
     ]
    },
    "read_cmd": 7
   },
   {
    "number": 151,
    "description": "Запись типа входного сигнала - ДСК, ТС, ТП, ДСК, ТС",
    "parameters": {
     "input_signal_type": [
      2,
      0,
      1,
      2,
      0
     ]
    },
    "read_cmd": 150,
    "delay": 100,
    "read_delay": 100,
    "cycles": 5
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 152,
    "description": "Запись типа сенсора (для ТС - все по порядку)",
    "parameters": {
     "sensor_type": [
      0,
      1,
      2,
      3,
      4,
      0
     ]
    },
    "read_cmd": 150,
    "delay": 50,
    "read_delay": 50
   },
   {
    "number": 154,
    "description": "Запись кода схемы подключения",
    "parameters": {
     "connection_schema": [
      0,
      1,
      0
     ]
    },
    "read_cmd": 153
   },
   {
    "number": 156,
    "description": "Запись значения сопротивления ТС при 0°С",
    "parameters": {
     "resistanceTS_0": [
      100,
      50.25,
      55.5,
      74.3,
      100.12,
      99.15,
      100.01,
      100
     ]
    },
    "read_cmd": 155
   },
   {
    "number": 158,
    "description": "Запись значения сопротивления соединительных проводов ТС",
    "parameters": {
     "resistance_conn_wires": [
      2.1,
      4.54,
      6.05,
      8.2,
      3.42
     ]
    },
    "read_cmd": 157
   },
   {
    "number": 6,
    "description": "Запись адреса опроса - 1",
    "parameters": {
     "polling_address": [
      1
     ]
    },
    "read_cmd": 7
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 151,
    "description": "Запись типа входного сигнала - ДСК, ТС, ТП",
    "parameters": {
     "input_signal_type": [
      2,
      0,
      1
     ]
    },
    "read_cmd": 150,
    "delay": 100,
    "read_delay": 50,
    "cycles": 5
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 152,
    "description": "Запись типа сенсора (для ТП - все по порядку)",
    "parameters": {
     "sensor_type": [
      0,
      1,
      2,
      3,
      4,
      5,
      6,
      7,
      8,
      9,
      10,
      11,
      12,
      0
     ]
    },
    "read_cmd": 150
   },
   {
    "number": 6,
    "description": "Запись адреса опроса - 0",
    "parameters": {
     "polling_address": [
      0
     ]
    },
    "read_cmd": 7
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 151,
    "description": "Запись типа входного сигнала - ДСК, ТП",
    "parameters": {
     "input_signal_type": [
      2,
      1
     ]
    },
    "read_cmd": 150,
    "delay": 100,
    "read_delay": 50,
    "cycles": 5
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 152,
    "description": "Запись типа сенсора (для ТП - все по порядку)",
    "parameters": {
     "sensor_type": [
      0,
      1,
      2,
      3,
      4,
      5,
      6,
      7,
      8,
      9,
      10,
      11,
      12,
      0
     ]
    },
    "read_cmd": 150
   },
   {
    "number": 161,
    "description": "Запись параметра компенсации свободных концов ТП",
    "parameters": {
     "free_ends_compensation": [
      0,
      1
     ]
    },
    "read_cmd": 160
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   },
   {
    "number": 151,
    "description": "Запись типа входного сигнала - ДСК",
    "parameters": {
     "input_signal_type": [
      2
     ]
    }
   },
   {
    "number": 3,
    "description": "Чтение переменных прибора",
    "print": [
     "PV",
     "output_current"
    ]
   }
  ]
 }
}
