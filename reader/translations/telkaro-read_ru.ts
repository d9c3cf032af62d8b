<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>PlateExport</name>
    <message>
        <source>the file is empty</source>
        <translation>файл пуст</translation>
    </message>
    <message>
        <source>the file is too large to be a plate file (over 1 MiB)</source>
        <translation>файл слишком велик для файла плашки (больше 1 МиБ)</translation>
    </message>
    <message>
        <source>the file ends before its last line: it is cut short</source>
        <translation>файл кончается раньше последней строки: он обрезан</translation>
    </message>
    <message>
        <source>a line does not end with CR LF: it is not a plate file</source>
        <translation>строка не кончается на CR LF: это не файл плашки</translation>
    </message>
    <message>
        <source>a field is not a well value followed by TAB: it is not a plate file</source>
        <translation>поле не является значением лунки с TAB после него: это не файл плашки</translation>
    </message>
    <message>
        <source>the file&apos;s size is not that of a plate file of 1 to 12 strips: it is cut short or not a plate file</source>
        <translation>размер файла не подходит для файла плашки от 1 до 12 стрипов: файл обрезан или это не файл плашки</translation>
    </message>
</context>
<context>
    <name>PortProblem</name>
    <message>
        <source>no reason given</source>
        <translation>причина не указана</translation>
    </message>
    <message>
        <source>no port name was given</source>
        <translation>имя порта не задано</translation>
    </message>
    <message>
        <source>the name is too long to be a port</source>
        <translation>имя слишком длинное для порта</translation>
    </message>
    <message>
        <source>no such port</source>
        <translation>такого порта нет</translation>
    </message>
    <message>
        <source>it is a folder, not a serial port</source>
        <translation>это папка, а не последовательный порт</translation>
    </message>
    <message>
        <source>it is an ordinary file, not a serial port</source>
        <translation>это обычный файл, а не последовательный порт</translation>
    </message>
    <message>
        <source>it is not a serial port</source>
        <translation>это не последовательный порт</translation>
    </message>
    <message>
        <source>in use by another program</source>
        <translation>порт занят другой программой</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>нет прав на доступ к порту</translation>
    </message>
    <message>
        <source>the device was unplugged or closed</source>
        <translation>устройство отключено или закрыто</translation>
    </message>
    <message>
        <source>the system refused to open it</source>
        <translation>система не открыла порт</translation>
    </message>
</context>
<context>
    <name>ReaderText</name>
    <message>
        <source>telkaro-read: cannot convert %1: %2</source>
        <translation>telkaro-read: не удалось преобразовать %1: %2</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>такого файла нет</translation>
    </message>
    <message>
        <source>not an ordinary file</source>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>Usage: telkaro-read [options] status
       telkaro-read [options] measure
       telkaro-read [options] read-plate
       telkaro-read [options] convert FILE.dat

Reads 96-well plates from the photometer without a window, for scripts.

Commands:
  status              poll the instrument and print ready, or error and its code
  measure             measure the plate, as Measurement in the window does
  read-plate          read the plate the instrument holds, as Read plate does
  convert FILE.dat    write a .dat file saved by the window in another format

Options:
  --port NAME         the instrument&apos;s port (else TELKARO_PORT, the Port
                      setting, the likeliest port)
  --strips N          strips to measure, 1 to 12 (default 12)
  -o, --output FILE   where the plates go (default, or -: standard output)
  --format FORMAT     dat, csv or json (default from the output&apos;s suffix, else dat)
  --repeat N          a series of N plates (default 1); dat: FILE-001.dat, ...
  --interval SECONDS  plate k starts k x SECONDS after the first (default 0)
  --timeout SECONDS   the longest wait for an answer of the instrument
                      (default 30)
  -q, --quiet         no progress on standard error
  -h, --help          show this help and exit
  --version           show the version and exit

Exit status:
  0    done
  2    usage: an unknown option or a bad value
  3    the port cannot be opened
  4    the instrument did not answer within the timeout
  5    the instrument reported an error, or sent no plate
  6    the port was lost during the run
  7    the output cannot be written
  8    the file to convert cannot be read or is not a plate file
  130  interrupted (Ctrl-C); the complete plates are kept
</source>
        <translation>Использование: telkaro-read [параметры] status
               telkaro-read [параметры] measure
               telkaro-read [параметры] read-plate
               telkaro-read [параметры] convert ФАЙЛ.dat

Читает 96-луночные плашки с фотометра без окна, для скриптов.

Команды:
  status              опросить прибор и вывести ready или error и код ошибки
  measure             измерить плашку, как пункт «Измерение» в окне
  read-plate          прочитать плашку, которая хранится в приборе, как «Чтение плашки»
  convert ФАЙЛ.dat    записать файл .dat, сохранённый окном, в другом формате

Параметры:
  --port ИМЯ          порт прибора (иначе TELKARO_PORT, параметр Port
                      в настройках, наиболее вероятный порт)
  --strips N          число стрипов для измерения, от 1 до 12 (по умолчанию 12)
  -o, --output ФАЙЛ   куда записать плашки (по умолчанию или -: стандартный вывод)
  --format ФОРМАТ     dat, csv или json (по умолчанию по расширению файла, иначе dat)
  --repeat N          серия из N плашек (по умолчанию 1); dat: ФАЙЛ-001.dat, ...
  --interval СЕКУНДЫ  плашка k начинается через k x СЕКУНДЫ после первой
                      (по умолчанию 0)
  --timeout СЕКУНДЫ   самое долгое ожидание ответа прибора (по умолчанию 30)
  -q, --quiet         не показывать ход работы в стандартном потоке ошибок
  -h, --help          показать эту справку и выйти
  --version           показать версию и выйти

Код завершения:
  0    готово
  2    ошибка в командной строке: неизвестный параметр или неверное значение
  3    порт не открывается
  4    прибор не ответил за время ожидания
  5    прибор сообщил об ошибке или не передал плашку
  6    порт пропал во время работы
  7    результат не удаётся записать
  8    файл для convert не читается или не является файлом плашки
  130  прервано (Ctrl-C); законченные плашки сохранены
</translation>
    </message>
    <message>
        <source>Try: %1 --help
</source>
        <translation>Справка: %1 --help
</translation>
    </message>
    <message>
        <source>--%1 is given more than once</source>
        <translation>--%1 задан больше одного раза</translation>
    </message>
    <message>
        <source>no command: status, measure, read-plate or convert</source>
        <translation>не задана команда: status, measure, read-plate или convert</translation>
    </message>
    <message>
        <source>unknown command: %1</source>
        <translation>неизвестная команда: %1</translation>
    </message>
    <message>
        <source>convert: no file named</source>
        <translation>convert: не указан файл</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>лишний аргумент: %1</translation>
    </message>
    <message>
        <source>--port: convert uses no port</source>
        <translation>--port: команде convert порт не нужен</translation>
    </message>
    <message>
        <source>--port: the port name is empty</source>
        <translation>--port: имя порта пустое</translation>
    </message>
    <message>
        <source>--strips: %1 is not a number from 1 to 12</source>
        <translation>--strips: %1 — не число от 1 до 12</translation>
    </message>
    <message>
        <source>--repeat: %1 is not a number from 1 to %2</source>
        <translation>--repeat: %1 — не число от 1 до %2</translation>
    </message>
    <message>
        <source>--interval: %1 is not a number of seconds from 0 to 604800</source>
        <translation>--interval: %1 — не число секунд от 0 до 604800</translation>
    </message>
    <message>
        <source>--repeat and --interval go with measure and read-plate</source>
        <translation>--repeat и --interval задаются только для measure и read-plate</translation>
    </message>
    <message>
        <source>--timeout: %1 is not a number of seconds above 0 and up to 604800</source>
        <translation>--timeout: %1 — не число секунд больше 0 и не больше 604800</translation>
    </message>
    <message>
        <source>--output: the file name is empty</source>
        <translation>--output: имя файла пустое</translation>
    </message>
    <message>
        <source>--format: %1 is not dat, csv or json</source>
        <translation>--format: %1 — не dat, csv и не json</translation>
    </message>
    <message>
        <source>--output and --format go with measure, read-plate and convert</source>
        <translation>--output и --format задаются только для measure, read-plate и convert</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>не удалось записать %1: %2</translation>
    </message>
    <message>
        <source>cannot write to standard output</source>
        <translation>не удалось записать в стандартный вывод</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 с</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 мин %2 с</translation>
    </message>
    <message>
        <source>telkaro-read: port %1 was lost: %2</source>
        <translation>telkaro-read: порт %1 пропал: %2</translation>
    </message>
    <message>
        <source>telkaro-read: cannot open port %1: %2</source>
        <translation>telkaro-read: не удалось открыть порт %1: %2</translation>
    </message>
    <message>
        <source>waiting for the link</source>
        <translation>ожидание связи</translation>
    </message>
    <message>
        <source>telkaro-read: port %1: waiting for the instrument</source>
        <translation>telkaro-read: порт %1: ожидание прибора</translation>
    </message>
    <message>
        <source>telkaro-read: the instrument reports error %1</source>
        <translation>telkaro-read: прибор сообщает об ошибке %1</translation>
    </message>
    <message>
        <source>measuring</source>
        <translation>измерение</translation>
    </message>
    <message>
        <source>reading the block</source>
        <translation>чтение данных</translation>
    </message>
    <message>
        <source>telkaro-read: plate %1 of %2: </source>
        <translation>telkaro-read: плашка %1 из %2: </translation>
    </message>
    <message>
        <source>starting the measurement</source>
        <translation>запуск измерения</translation>
    </message>
    <message>
        <source>telkaro-read: the instrument&apos;s data block is not a plate (%1 characters)</source>
        <translation>telkaro-read: данные прибора не являются плашкой (%1 символов)</translation>
    </message>
    <message>
        <source>telkaro-read: plate %1 of %2 written; %3 left</source>
        <translation>telkaro-read: плашка %1 из %2 записана; осталось %3</translation>
    </message>
    <message>
        <source>telkaro-read: plate %1 starts late: plate %2 took %3, longer than the interval</source>
        <translation>telkaro-read: плашка %1 начинается с опозданием: плашка %2 заняла %3, дольше интервала</translation>
    </message>
    <message>
        <source>telkaro-read: the instrument on port %1 did not answer within %2 (%3)</source>
        <translation>telkaro-read: прибор на порту %1 не ответил за %2 (%3)</translation>
    </message>
    <message>
        <source>telkaro-read: interrupted</source>
        <translation>telkaro-read: прервано</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>это папка</translation>
    </message>
    <message>
        <source>telkaro-read: plate %1 of %2 written</source>
        <translation>telkaro-read: плашка %1 из %2 записана</translation>
    </message>
    <message>
        <source>the file was not written in full</source>
        <translation>файл записан не полностью</translation>
    </message>
</context>
</TS>
