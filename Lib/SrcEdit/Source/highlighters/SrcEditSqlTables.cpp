// The word lists and sample texts of the SQL dialects but Oracle, and the choice of a dialect's
// lists and sample.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterSql.h"

namespace SrcSqlTables {

namespace {

using K = TSqlTokenKind;

constexpr std::string_view StandardReservedWords =
    "absolute,action,active,actor,add,after,alias,all,allocate,alter,and,any,are,as,asc,ascending,assertion,async,"
    "at,attributes,auto,base_name,before,begin,between,bit,bit_length,boolean,both,breadth,by,cache,call,cascade,"
    "cascaded,case,cast,catalog,char_length,character_length,check,coalesce,collate,collation,column,commit,"
    "committed,completion,computed,conditional,connect,connection,constraint,constraints,containing,convert,"
    "corresponding,count,create,cross,current,current_date,current_path,current_time,current_timestamp,"
    "current_user,cursor,cycle,data,database,date,day,deallocate,debug,declare,default,deferrable,deferred,delete,"
    "depth,desc,descending,describe,descriptor,destroy,diagnostics,dictionary,disconnect,distinct,do,domain,drop,"
    "each,element,else,elseif,end,end-exec,entry_point,equals,escape,except,exception,execute,exists,exit,external,"
    "extract,factor,false,filter,first,for,foreign,from,full,function,general,generator,get,global,grant,group,"
    "having,hold,hour,identity,if,ignore,immediate,in,inactive,index,initially,inner,input,insensitive,insert,"
    "instead,intersect,interval,into,is,isolation,join,key,last,leading,leave,left,less,level,like,limit,list,"
    "local,loop,lower,match,merge,minute,modify,month,names,national,natural,nchar,new,new_table,next,no,none,not,"
    "null,nullif,object,octet_length,of,off,old,old_table,on,only,operation,operator,operators,or,order,others,"
    "outer,output,overlaps,pad,parameter,parameters,partial,password,path,pendant,plan,position,postfix,prefix,"
    "preorder,prepare,preserve,primary,prior,private,privileges,procedure,protected,read,recursive,ref,referencing,"
    "relative,replace,resignal,restrict,retain,return,returns,revoke,right,role,rollback,routine,row,rows,"
    "savepoint,schema,scroll,search,second,select,sensitive,sequence,session,session_user,set,shadow,shared,signal,"
    "similar,size,snapshot,some,space,sqlexception,sqlstate,sqlwarning,start,state,structure,substring,suspend,"
    "symbol,system_user,table,temporary,term,test,then,there,time,timestamp,timezone_hour,timezone_minute,to,"
    "trailing,transaction,translate,translation,trigger,trim,true,tuple,type,uncommitted,under,union,unique,"
    "unknown,update,upper,usage,user,using,value,varchar,variable,varying,view,virtual,visible,wait,when,where,"
    "while,with,without,work,write,year,zone";
static_assert(WordCount(StandardReservedWords) == 306);

constexpr TWordList StandardLists[] = {
    {K::tkKey, StandardReservedWords},
};

constexpr std::string_view StandardSample =
    "-- ANSI SQL sample source\r\n"
    "SELECT *\r\n"
    "FROM planets\r\n"
    "WHERE diameter < 13000\r\n"
    "  AND name <> 'Earth'";

constexpr std::string_view Interbase6DataTypes =
    "BLOB,CHAR,CHARACTER,DATE,DECIMAL,DOUBLE,FLOAT,INTEGER,NUMERIC,SMALLINT,TIME,TIMESTAMP,VARCHAR";
static_assert(WordCount(Interbase6DataTypes) == 13);

constexpr std::string_view Interbase6Functions =
    "AVG,CAST,COUNT,GEN_ID,MAX,MIN,SUM,UPPER";
static_assert(WordCount(Interbase6Functions) == 8);

constexpr std::string_view Interbase6ReservedWords =
    "ACTIVE,ADD,AFTER,ALL,ALTER,AND,ANY,AS,ASC,ASCENDING,AT,AUTO,AUTODDL,BASED,BASENAME,BASE_NAME,BEFORE,BEGIN,"
    "BETWEEN,BLOBEDIT,BUFFER,BY,CACHE,CHARACTER_LENGTH,CHAR_LENGTH,CHECK,CHECK_POINT_LEN,CHECK_POINT_LENGTH,"
    "COLLATE,COLLATION,COLUMN,COMMIT,COMMITED,COMPILETIME,COMPUTED,CLOSE,CONDITIONAL,CONNECT,CONSTRAINT,CONTAINING,"
    "CONTINUE,CREATE,CURRENT,CURRENT_DATE,CURRENT_TIME,CURRENT_TIMESTAMP,CURSOR,DATABASE,DAY,DB_KEY,DEBUG,DEC,"
    "DECLARE,DEFAULT,DELETE,DESC,DESCENDING,DESCRIBE,DESCRIPTOR,DISCONNECT,DISTINCT,DO,DOMAIN,DROP,ECHO,EDIT,ELSE,"
    "END,ENTRY_POINT,ESCAPE,EVENT,EXCEPTION,EXECUTE,EXISTS,EXIT,EXTERN,EXTERNAL,EXTRACT,FETCH,FILE,FILTER,FOR,"
    "FOREIGN,FOUND,FROM,FULL,FUNCTION,GDSCODE,GENERATOR,GLOBAL,GOTO,GRANT,GROUP,GROUP_COMMIT_WAIT,"
    "GROUP_COMMIT_WAIT_TIME,HAVING,HELP,HOUR,IF,IMMEDIATE,IN,INACTIVE,INDEX,INDICATOR,INIT,INNER,INPUT,INPUT_TYPE,"
    "INSERT,INT,INTO,IS,ISOLATION,ISQL,JOIN,KEY,LC_MESSAGES,LC_TYPE,LEFT,LENGTH,LEV,LEVEL,LIKE,LOGFILE,"
    "LOG_BUFFER_SIZE,LOG_BUF_SIZE,LONG,MANUAL,MAXIMUM,MAXIMUM_SEGMENT,MAX_SEGMENT,MERGE,MESSAGE,MINIMUM,MINUTE,"
    "MODULE_NAME,MONTH,NAMES,NATIONAL,NATURAL,NCHAR,NO,NOAUTO,NOT,NULL,NUM_LOG_BUFFS,NUM_LOG_BUFFERS,OCTET_LENGTH,"
    "OF,ON,ONLY,OPEN,OPTION,OR,ORDER,OUTER,OUTPUT,OUTPUT_TYPE,OVERFLOW,PAGE,PAGELENGTH,PAGES,PAGE_SIZE,PARAMETER,"
    "PASSWORD,PLAN,POSITION,POST_EVENT,PRECISION,PREPARE,PROCEDURE,PROTECTED,PRIMARY,PRIVILEGES,PUBLIC,QUIT,"
    "RAW_PARTITIONS,READ,REAL,RECORD_VERSION,REFERENCES,RELEASE,RESERV,RESERVING,RETAIN,RETURN,RETURNING_VALUES,"
    "RETURNS,REVOKE,RIGHT,ROLLBACK,RUNTIME,SCHEMA,SECOND,SEGMENT,SELECT,SET,SHADOW,SHARED,SHELL,SHOW,SINGULAR,SIZE,"
    "SNAPSHOT,SOME,SORT,SQL,SQLCODE,SQLERROR,SQLWARNING,STABILITY,STARTING,STARTS,STATEMENT,STATIC,STATISTICS,"
    "SUB_TYPE,SUSPEND,TABLE,TERMINATOR,THEN,TO,TRANSACTION,TRANSLATE,TRANSLATION,TRIGGER,TRIM,TYPE,UNCOMMITTED,"
    "UNION,UNIQUE,UPDATE,USER,USING,VALUE,VALUES,VARIABLE,VARYING,VERSION,VIEW,WAIT,WEEKDAY,WHEN,WHENEVER,WHERE,"
    "WHILE,WITH,WORK,WRITE,YEAR,YEARDAY";
static_assert(WordCount(Interbase6ReservedWords) == 251);

constexpr TWordList Interbase6Lists[] = {
    {K::tkDatatype, Interbase6DataTypes},
    {K::tkFunction, Interbase6Functions},
    {K::tkKey, Interbase6ReservedWords},
};

constexpr std::string_view Interbase6Sample =
    "/* Interbase sample source */\r\n"
    "SET TERM !! ;\r\n"
    "\r\n"
    "CREATE PROCEDURE HelloWorld(P_MSG VARCHAR(80)) AS\r\n"
    "BEGIN\r\n"
    "  EXECUTE PROCEDURE WRITELN(:P_MSG);\r\n"
    "END !!\r\n"
    "\r\n"
    "SET TERM ; !!";

constexpr std::string_view MSSQL7ReservedWords =
    "ABSOLUTE,ADD,ALL,ALTER,ANY,AS,ASC,AUTHORIZATION,AVG,BACKUP,BEGIN,BETWEEN,BREAK,BROWSE,BULK,BY,CASCADE,CHECK,"
    "CHECKPOINT,CLOSE,CLUSTERED,COLUMN,COMMIT,COMMITTED,COMPUTE,CONFIRM,CONSTRAINT,CONTAINS,CONTAINSTABLE,CONTINUE,"
    "CONTROLROW,COUNT,CREATE,CROSS,CURRENT,CURRENT_DATE,CURRENT_TIME,CURSOR,DATABASE,DBCC,DEALLOCATE,DECLARE,"
    "DEFAULT,DELETE,DENY,DESC,DISK,DISTINCT,DISTRIBUTED,DOUBLE,DROP,DUMMY,DUMP,ELSE,END,ERRLVL,ERROREXIT,ESCAPE,"
    "EXCEPT,EXEC,EXECUTE,EXISTS,EXIT,FETCH,FILE,FILLFACTOR,FIRST,FLOPPY,FOR,FOREIGN,FREETEXT,FREETEXTTABLE,FROM,"
    "FULL,GLOBAL,GOTO,GRANT,GROUP,HAVING,HOLDLOCK,IDENTITY,IDENTITYCOL,IDENTITY_INSERT,IF,IN,INDEX,INNER,INSERT,"
    "INTERSECT,INTO,IS,ISOLATION,JOIN,KEY,KILL,LAST,LEFT,LEVEL,LIKE,LINENO,LOAD,MAX,MIN,MIRROREXIT,NATIONAL,NEXT,"
    "NOCHECK,NONCLUSTERED,NOT,NULL,OF,OFF,OFFSETS,ON,ONCE,ONLY,OPEN,OPENDATASOURCE,OPENQUERY,OPENROWSET,OPTION,OR,"
    "ORDER,OUTER,OVER,PERCENT,PERM,PERMANENT,PIPE,PLAN,PRECISION,PREPARE,PRIMARY,PRINT,PRIOR,PRIVILEGES,PROC,"
    "PROCEDURE,PROCESSEXIT,PUBLIC,RAISERROR,READ,READTEXT,RECONFIGURE,REFERENCES,RELATIVE,REPEATABLE,REPLICATION,"
    "RESTORE,RESTRICT,RETURN,REVOKE,RIGHT,ROLLBACK,ROWCOUNT,ROWGUIDCOL,RULE,SAVE,SCHEMA,SELECT,SERIALIZABLE,SET,"
    "SETUSER,SHUTDOWN,SOME,STATISTICS,SUM,TABLE,TAPE,TEMP,TEMPORARY,TEXTSIZE,THEN,TO,TOP,TRAN,TRANSACTION,TRIGGER,"
    "TRUNCATE,TSEQUAL,UNCOMMITTED,UNION,UNIQUE,UPDATE,UPDATETEXT,USE,USER,VALUES,VARYING,VIEW,WAITFOR,WHEN,WHERE,"
    "WHILE,WITH,WORK,WRITETEXT";
static_assert(WordCount(MSSQL7ReservedWords) == 197);

constexpr std::string_view MSSQL7DataTypes =
    "BINARY,BIT,CHAR,DATETIME,DECIMAL,FLOAT,IMAGE,INT,MONEY,NCHAR,NTEXT,NUMERIC,NVARCHAR,REAL,SMALLDATETIME,"
    "SMALLINT,SMALLMONEY,SYSNAME,TEXT,TIMESTAMP,TINYINT,UNIQUEIDENTIFIER,VARBINARY,VARCHAR";
static_assert(WordCount(MSSQL7DataTypes) == 24);

constexpr std::string_view MSSQL7Functions =
    "@@CONNECTIONS,@@CPU_BUSY,@@CURSOR_ROWS,@@DATEFIRST,@@DBTS,@@ERROR,@@FETCH_STATUS,@@IDENTITY,@@IDLE,@@IO_BUSY,"
    "@@LANGID,@@LANGUAGE,@@LOCK_TIMEOUT,@@MAX_CONNECTIONS,@@MAX_PRECISION,@@NESTLEVEL,@@OPTIONS,@@PACKET_ERRORS,"
    "@@PACK_RECEIVED,@@PACK_SENT,@@PROCID,@@REMSERVER,@@ROWCOUNT,@@SERVERNAME,@@SERVICENAME,@@SPID,@@TEXTSIZE,"
    "@@TIMETICKS,@@TOTAL_ERRORS,@@TOTAL_READ,@@TOTAL_WRITE,@@TRANCOUNT,@@VERSION,ABS,ACOS,AND,APP_NAME,ASCII,ASIN,"
    "ATAN,ATN2,CASE,CAST,CEILING,CHARINDEX,COALESCE,COLUMNPROPERTY,COL_LENGTH,COL_NAME,CONVERT,COS,COT,"
    "CURRENT_TIMESTAMP,CURRENT_USER,CURSOR_STATUS,DATABASEPROPERTY,DATALENGTH,DATEADD,DATEDIFF,DATENAME,DATEPART,"
    "DAY,DB_ID,DB_NAME,DEGREES,DIFFERENCE,EXP,FILEGROUPPROPERTY,FILEGROUP_ID,FILEGROUP_NAME,FILEPROPERTY,FILE_ID,"
    "FILE_NAME,FLOOR,FORMATMESSAGE,FULLTEXTCATALOGPROPERTY,FULLTEXTSERVICEPROPERTY,GETANSINULL,GETDATE,HOST_ID,"
    "HOST_NAME,IDENT_INCR,IDENT_SEED,INDEXPROPERTY,INDEX_COL,ISDATE,ISNULL,ISNUMERIC,IS_MEMBER,IS_SRVROLEMEMBER,"
    "LEN,LOG,LOG10,LOWER,LTRIM,MONTH,NEWID,NULLIF,OBJECTPROPERTY,OBJECT_ID,OBJECT_NAME,PARSENAME,PATINDEX,"
    "PERMISSIONS,PI,POWER,QUOTENAME,RADIANS,RAND,REPLACE,REPLICATE,REVERSE,ROUND,RTRIM,SESSION_USER,SIGN,SIN,"
    "SOUNDEX,SPACE,SQRT,SQUARE,STATS_DATE,STR,STUFF,SUBSTRING,SUSER_ID,SUSER_NAME,SUSER_SID,SUSER_SNAME,"
    "SYSTEM_USER,TAN,TEXTPTR,TEXTVALID,TYPEPROPERTY,UNICODE,UPPER,USER_ID,USER_NAME,YEAR";
static_assert(WordCount(MSSQL7Functions) == 139);

constexpr TWordList MSSQL7Lists[] = {
    {K::tkKey, MSSQL7ReservedWords},
    {K::tkDatatype, MSSQL7DataTypes},
    {K::tkFunction, MSSQL7Functions},
};

constexpr std::string_view MSSQL7Sample =
    "/* SQL Server 7 example source */\r\n"
    "SET QUOTED_IDENTIFIER ON\r\n"
    "GO\r\n"
    "SET ANSI_NULLS OFF\r\n"
    "GO\r\n"
    "\r\n"
    "/* Object:  Stored Procedure dbo.sp_PPQInsertOrder */\r\n"
    "CREATE PROCEDURE sp_PPQInsertOrder\r\n"
    "  @Name    varchar(25),\r\n"
    "  @Address varchar(255),\r\n"
    "  @ZipCode varchar(15)\r\n"
    "AS\r\n"
    "  INSERT INTO PPQOrders(Name, Address, ZipCode, OrderDate)\r\n"
    "  VALUES (@Name, @Address, @ZipCode, GetDate())\r\n"
    "\r\n"
    "  SELECT SCOPE_IDENTITY()\r\n"
    "GO";

constexpr std::string_view MySQLReservedWords =
    "ACTION,AFTER,AGAINST,AGGREGATE,ALL,ALTER,ANALYZE,AND,AS,ASC,AUTO_INCREMENT,AVG_ROW_LENGTH,BACKUP,BEGIN,"
    "BENCHMARK,BETWEEN,BINARY,BIT,BOOL,BOTH,BY,CASCADE,CHANGE,CHARACTER,CHECK,CHECKSUM,COLUMN,COLUMNS,COMMENT,"
    "COMMIT,CONSTRAINT,CREATE,CROSS,DATA,DATABASES,DEC,DEFAULT,DELAYED,DELAY_KEY_WRITE,DELETE,DESC,DESCRIBE,"
    "DISTINCT,DISTINCTROW,DROP,ELSE,ENCLOSED,END,ESCAPE,ESCAPED,EXISTS,EXPLAIN,FIELDS,FILE,FIRST,FLOAT4,FLOAT8,"
    "FLUSH,FOR,FOREIGN,FROM,FULL,FULLTEXT,FUNCTION,GLOBAL,GRANT,GRANTS,GROUP,HAVING,HEAP,HIGH_PRIORITY,HOSTS,"
    "IDENTIFIED,IGNORE,INDEX,INFILE,INNER,INT1,INT2,INT3,INT4,INT8,INTO,IS,ISAM,JOIN,KEY,KEYS,KILL,LEADING,LIKE,"
    "LIMIT,LINES,LOAD,LOCAL,LOCK,LOGS,LONG,LOW_PRIORITY,MATCH,MAX_ROWS,MIDDLEINT,MIN_ROWS,MODIFY,MYISAM,NATURAL,NO,"
    "NOT,NULL,OPTIMIZE,OPTION,OPTIONALLY,ON,OPEN,OR,ORDER,OUTER,OUTFILE,PACK_KEYS,PARTIAL,PRECISION,PRIMARY,"
    "PRIVILEGES,PROCEDURE,PROCESS,PROCESSLIST,READ,REFERENCES,REGEXP,RELOAD,RENAME,REPAIR,RESTRICT,RESTORE,RETURNS,"
    "REVOKE,RLIKE,ROLLBACK,ROW,ROWS,SELECT,SHOW,SHUTDOWN,SONAME,SQL_BIG_RESULT,SQL_BIG_SELECTS,SQL_BIG_TABLES,"
    "SQL_LOG_OFF,SQL_LOG_UPDATE,SQL_LOW_PRIORITY_UPDATES,SQL_SELECT_LIMIT,SQL_SMALL_RESULT,SQL_WARNINGS,STARTING,"
    "STATUS,STRAIGHT_JOIN,TABLE,TABLES,TEMPORARY,TERMINATED,THEN,TO,TRAILING,TRANSACTION,TYPE,UNIQUE,UNLOCK,"
    "UNSIGNED,UPDATE,USAGE,USE,USING,VALUES,VARBINARY,VARCHAR,VARIABLES,VARYING,WHERE,WITH,WRITE,ZEROFILL";
static_assert(WordCount(MySQLReservedWords) == 181);

constexpr std::string_view MySQLDataTypes =
    "TINYINT,SMALLINT,MEDIUMINT,INT,INTEGER,BIGINT,FLOAT,DOUBLE,REAL,DECIMAL,NUMERIC,DATE,DATETIME,TIMESTAMP,TIME,"
    "YEAR,CHAR,NATIONAL,TINYBLOB,TINYTEXT,TEXT,BLOB,MEDIUMBLOB,MEDIUMTEXT,LONGBLOB,LONGTEXT,ENUM,SET,STRING";
static_assert(WordCount(MySQLDataTypes) == 29);

constexpr std::string_view MySQLFunctions =
    "ABS,ACOS,ASCII,ADD,ADDDATE,ASIN,ATAN,ATAN2,AVG,BIN,BIT_AND,BIT_COUNT,BIT_OR,CASE,CHARACTER_LENGTH,CEILING,"
    "CONNECTION_ID,CHAR_LENGTH,COALESCE,CONCAT,CONV,COS,COT,COUNT,CURDATE,CURRENT_DATE,CURRENT_TIME,"
    "CURRENT_TIMESTAMP,CURTIME,DATABASE,DATE_ADD,DATE_FORMAT,DATE_SUB,DAY,DAYNAME,DAYOFMONTH,DAYOFWEEK,DAYOFYEAR,"
    "DAY_HOUR,DAY_MINUTE,DAY_SECOND,DECODE,DEGREES,ELT,ENCODE,ENCRYPT,EXP,EXPORT_SET,FIELD,FIND_IN_SET,FLOOR,"
    "FORMAT,FROM_DAYS,FROM_UNIXTIME,GET_LOCK,GREATEST,HEX,HOUR,HOUR_MINUTE,HOUR_SECOND,IF,IFNULL,IN,INET_NTOA,"
    "INET_ATON,INSERT,INSERT_ID,INSTR,INTERVAL,ISNULL,LAST_INSERT_ID,LCASE,LEAST,LEFT,LENGTH,LOAD_FILE,LOCATE,LOG,"
    "LOG10,LOWER,LPAD,LTRIM,MAKE_SET,MASTER_POS_WAIT,MAX,MD5,MID,MIN,MINUTE,MINUTE_SECOND,MOD,MONTH,MONTHNAME,NOW,"
    "NULLIF,OCT,OCTET_LENGTH,ORD,PASSWORD,PERIOD_ADD,PERIOD_DIFF,PI,POSITION,POW,POWER,QUARTER,RADIANS,RAND,"
    "RELEASE_LOCK,REPEAT,REPLACE,REVERSE,RIGHT,ROUND,RPAD,RTRIM,SECOND,SEC_TO_TIME,SESSION_USER,SIGN,SIN,SOUNDEX,"
    "SPACE,SQRT,STD,STDDEV,STRCMP,SUBDATE,SUBSTRING,SUBSTRING_INDEX,SUM,SYSDATE,SYSTEM_USER,TAN,TIME_FORMAT,"
    "TIME_TO_SEC,TO_DAYS,TRIM,TRUNCATE,UCASE,UNIX_TIMESTAMP,UPPER,USER,VERSION,WEEK,WEEKDAY,WHEN,YEARWEEK,"
    "YEAR_MONTH";
static_assert(WordCount(MySQLFunctions) == 149);

constexpr TWordList MySQLLists[] = {
    {K::tkKey, MySQLReservedWords},
    {K::tkDatatype, MySQLDataTypes},
    {K::tkFunction, MySQLFunctions},
};

constexpr std::string_view MySQLSample =
    "/* MySQL sample source*/\r\n"
    "SET @variable = 1;\r\n"
    "\r\n"
    "CREATE /*!32302 TEMPORARY */ TABLE t (a INT);\r\n"
    "\r\n"
    "CREATE TABLE sample (\r\n"
    "        id INT NOT NULL,\r\n"
    "        first_name CHAR(30) NOT NULL,\r\n"
    "        PRIMARY KEY (id),\r\n"
    "        INDEX name (first_name));\r\n"
    "\r\n"
    "SELECT DATE_ADD('1997-12-31 23:59:59',\r\n"
    "        INTERVAL 1 SECOND);\r\n"
    "\r\n"
    "# End of sample";

constexpr std::string_view SybaseReservedWords =
    "absolute,action,add,after,alias,all,allocate,alter,and,any,are,arith_overflow,as,asc,assertion,async,at,"
    "authorization,avg,before,begin,between,bit,bit_length,boolean,both,breadth,break,browse,bulk,by,call,cascade,"
    "cascaded,case,cast,catalog,char,char_convert,char_length,character,character_length,check,checkpoint,close,"
    "clustered,coalesce,collate,collation,column,commit,completion,compute,confirm,connect,connection,constraint,"
    "constraints,continue,controlrow,convert,corresponding,count,create,cross,current,current_date,current_time,"
    "current_timestamp,current_user,cursor,cycle,data,database,date,day,dbcc,deallocate,dec,decimal,declare,"
    "default,deferrable,deferred,delete,depth,desc,describe,descriptor,diagnostics,dictionary,dis,disconnect,"
    "distinct,domain,double,drop,dummy,dump,each,else,elseif,en,end,endtran,equals,errlvl,errordata,errorexit,"
    "escape,except,exception,exclusive,exec,execute,exists,exit,exp_row_size,external,extract,false,fetch,"
    "fillfactor,first,float,for,foreign,found,from,full,general,get,global,go,goto,grant,group,having,holdlock,"
    "hour,identity,identity_gap,identity_insert,identity_start,if,ignore,immediate,in,index,indicator,initially,"
    "inner,input,insensitive,insert,install,int,integer,intersect,interval,into,is,isolation,jar,join,key,kill,"
    "language,last,leading,leave,left,less,level,like,limit,lineno,load,local,lock,loop,lower,match,max,"
    "max_rows_per_page,min,minute,mirror,mirrorexit,modify,module,month,names,national,natural,nchar,new,next,no,"
    "noholdlock,nonclustered,none,not,null,nullif,numeric,numeric_truncation,object,octet_length,of,off,offsets,"
    "oid,old,on,once,online,only,open,operation,operators,option,or,order,others,outer,output,over,overlaps,pad,"
    "parameters,partial,partition,pendant,perm,permanent,plan,position,precision,preorder,prepare,preserve,primary,"
    "print,prior,private,privileges,proc,procedure,processexit,protected,proxy_table,public,quiesce,raiserror,read,"
    "readpast,readtext,real,reconfigure,recursive,ref,reference,referencing,relative,remove,reorg,replace,"
    "replication,reservepagegap,resignal,restrict,return,returns,revoke,right,role,rollback,routine,row,rowcount,"
    "rows,rule,save,savepoint,schema,scroll,search,second,section,select,sensitive,sequence,session_user,set,"
    "setuser,shared,shutdown,signal,similar,size,smallint,some,space,sql,sqlcode,sqlerror,sqlexception,sqlstate,"
    "statistics,stripe,structure,substring,sum,syb_identity,syb_restree,system_user,table,temp,temporary,test,"
    "textsize,then,there,time,timestamp,timezone_hour,timezone_minute,to,trailing,tran,transaction,translate,"
    "translation,trigger,trim,true,truncate,tsequal,type,under,union,unique,unknown,unpartition,update,upper,usage,"
    "use,user,user_option,using,value,values,varchar,variable,varying,view,virtual,visible,wait,waitfor,when,"
    "whenever,where,while,with,without,work,write,writetext,year,zone";
static_assert(WordCount(SybaseReservedWords) == 373);

constexpr TWordList SybaseLists[] = {
    {K::tkKey, SybaseReservedWords},
};

constexpr std::string_view SybaseSample =
    "/* SyBase example source */\r\n"
    "declare @Integer        int\r\n"
    "\r\n"
    "/* Good for positive numbers only. */\r\n"
    "select @Integer = 1000\r\n"
    "\r\n"
    "select \"Positives Only\" =\r\n"
    "  right(replicate(\"0\",12) + \r\n"
    "    convert(varchar, @Integer),12)\r\n"
    "\r\n"
    "/* Good for positive and negative numbers. */\r\n"
    "select @Integer = -1000\r\n"
    "\r\n"
    "select \"Both Signs\" =\r\n"
    "  substring( \"- +\", (sign(@Integer) + 2), 1) +\r\n"
    "  right(replicate(\"0\",12) + \r\n"
    "    convert(varchar, abs(@Integer)),12)\r\n"
    "\r\n"
    "select @Integer = 1000\r\n"
    "\r\n"
    "select \"Both Signs\" =\r\n"
    "  substring( \"- +\", (sign(@Integer) + 2), 1) +\r\n"
    "  right(replicate(\"0\",12) + \r\n"
    "    convert(varchar, abs(@Integer)),12)\r\n"
    "\r\n"
    "go";

constexpr std::string_view IngresDataTypes =
    "BYTE,C,CHAR,CHARACTER,DATE,DECIMAL,FLOAT,FLOAT4,FLOAT8,INTEGER,INTEGER1,INTEGER2,INTEGER4,LONG,MONEY,"
    "OBJECT_KEY,SECURITY_LABEL,SHORT,SMALLINT,TABLE_KEY,TEXT,VARCHAR,VARYING";
static_assert(WordCount(IngresDataTypes) == 23);

constexpr std::string_view IngresReservedWords =
    "ABORT,ACTIVATE,ADD,ADDFORM,AFTER,AGGREGATE,ALL,ALTER,AND,APPEND,ARRAY,AS,ASC,AT,AUDIT_LOG,AUTHORIZATION,"
    "AUTOCOMMIT,AVGU,BEFORE,BEGIN,BETWEEN,BREAKDISPLAY,BY,BYREF,CACHE,CALL,CALLFRAME,CALLPROC,CASCADE,CHECK,CLEAR,"
    "CLEARROW,CLOSE,COLUMN,COMMAND,COMMENT,COMMIT,CONNECT,CONSTRAINT,CONTINUE,COPY,COUNTU,CPUFACTOR,CREATE,CURRENT,"
    "CURRENT_USER,CURSOR,DATA,DATAHANDLER,DATE_FORMAT,DBEVENT,DDL_CONCURRENCY,DEADLOCK,DECLARE,DEFAULT,DEFERRED,"
    "DEFINE,DELETE,DELETEROW,DESC,DESCRIBE,DESCRIPTOR,DESTROY,DIRECT,DISABLE,DISCONNECT,DISPLAY,DISTINCT,"
    "DISTRIBUTE,DO,DOWN,DROP,ELSE,ELSEIF,ENABLE,END,ENDDATA,ENDDISPLAY,ENDFORMS,ENDIF,ENDLOOP,ENDRETRIEVE,"
    "ENDSELECT,ENDWHILE,ERROR,ESCAPE,EXCLUDE,EXCLUDING,EXEC,EXECUTE,EXISTS,EXIT,FETCH,FIELD,FINALIZE,FOR,FOREIGN,"
    "FORMDATA,FORMINIT,FORMS,FROM,FULL,GET,GETFORM,GETOPER,GETROW,GLOBAL,GOTO,GRANT,GRANTED,HAVING,HELP,HELP_FORMS,"
    "HELP_FRS,HELPFILE,IDENTIFIED,IF,IIMESSAGE,IIPRINTF,IIPROMPT,IISTATEMENT,IMMEDIATE,IMPORT,IN,INCLUDE,INDEX,"
    "INDICATOR,INGRES,INITIALIZE,INITTABLE,INNER,INQUIRE_EQUEL,INQUIRE_FORMS,INQUIRE_FRS,INQUIRE_INGRES,INSERT,"
    "INSERTROW,INSTALLATION,INTEGRITY,INTO,IO_TRACE,IS,J_FREESZ1,J_FREESZ2,J_FREESZ3,J_FREESZ4,J_SORTBUFSZ,"
    "JCPUFACTOR,JOIN,JOINOP,JOURNALING,KEY,LEVEL,LIKE,LINK,LOADTABLE,LOCAL,LOCATION,LOCK_TRACE,LOG_TRACE,"
    "LOGDBEVENTS,LOGGING,MAXCOST,MAXCPU,MAXPAGE,MENUITEM,MESSAGE,MODE,MODIFY,MODULE,MONEY_FORMAT,MONEY_PREC,MOVE,"
    "NATURAL,NEXT,NODEADLOCK,NOECHO,NOIO_TRACE,NOJIONOP,NOJOURNALING,NOLOCK_TRACE,NOLOG_TRACE,NOLOGDBEVENTS,"
    "NOLOGGING,NOMAXCOST,NOMAXCPU,NOMAXIO,NOMAXPAGE,NOMAXQUERY,NOMAXROW,NOOPTIMIZEONLY,NOPRINTDBEVENTS,NOPRINTQRY,"
    "NOPRINTRULES,NOQEP,NORULES,NOSQL,NOSTATISTICS,NOT,NOTRACE,NULL,OF,ON,ONLY,OPEN,OPTIMIZEONLY,OPTION,OR,ORDER,"
    "OUT,PARAM,PERMIT,PREPARE,PRESERVE,PRIMARY,PRINT,PRINTDBEVENTS,PRINTQRY,PRINTSCREEN,PRIVILEGES,PROCEDURE,"
    "PROMPT,PUBLIC,PUT,PUTFORM,PUTOPER,PUTROW,QBUFSIZE,QEP,QRY,QUALIFICATION,QUERY_SIZE,RAISE,RANGE,READONLY,"
    "REDISPLAY,REFERENCES,REFERENCING,REGISTER,RELOCATE,REMOVE,RENAME,REPEAT,REPEATED,REPLACE,REPLICATE,RESTRICT,"
    "RESULT_STRUCTURE,RESUME,RET_INTO,RETRIEVE,RETURN,RETURNING,REVOKE,ROLLBACK,ROWS,RULE,RUN,SAVE,SAVEPOINT,"
    "SCHEMA,SCREEN,SCROLL,SCROLLDOWN,SCROLLUP,SECTION,SECURITY_ALARM,SECURITY_AUDIT,SELECT,SESSION,SET,SET_4GL,"
    "SET_EQUAL,SET_FORMS,SET_FRS,SET_INGRES,SET_SQL,SHORT_REMARK,SLEEP,SOME,SORT,SORTBUFSIZE,SQL,STATISTICS,STOP,"
    "SUBMENU,SUMU,SYNONYM,SYSTEM,TABLE,TABLEDATA,TEWMPORARY,THEN,TO,TRACE,TRANSACTION,TYPE,UNION,UNIQUE,"
    "UNLOADTABLE,UNTIL,UP,UPDATE,USER,USING,VALIDATE,VALIDROW,VALUES,VIEW,WHEN,WHENEVER,WHERE,WHILE,WITH,WORK";
static_assert(WordCount(IngresReservedWords) == 315);

constexpr std::string_view IngresFunctions =
    "_BINTIM,_CPU_MS,_DATE,_DIO_CNT,_ET_SEC,_PFAULT_CNT,_TIME,_VERSION,ABS,ANY,ATAN,AUTOCOMMIT_STATE,AVG,BIOCNT,"
    "CHAREXTRACT,COLLATION,CONCAT,CONNECT_TIME_LIMIT,COS,COUNT,CREATE_PROCEDURE,CREATE_TABLE,DATABASE,DATE_GMT,"
    "DATE_PART,DATE_TRUNC,DB_ADMIN,DB_DELIMITED_CASE,DB_NAME_CASE,DBA,DBMS_BIO,DBMS_CPU,DBMS_DIO,DBMSINFO,DOW,EXP,"
    "FLATTEN_AGGREGATE,FLATTEN_NONE,FLATTEN_OPTIMIZE,FLATTEN_SINGLETON,GROUP,HEX,IDLE_TIME_LIMIT,IFNULL,"
    "INITIAL_USER,INQUIRE_SQL,INT1,INT2,INT4,INTERVAL,LANGUAGE,LEFT,LENGTH,LOCATE,LOCKMODE,LOG,LONG_BYTE,"
    "LONG_VARCHAR,LOWERCASE,MAX,MAXCONNECT,MAXIDLE,MAXIO,MAXQUERY,MAXROW,MIN,MOD,NOTRIM,ON_ERROR_STATE,PAD,"
    "QUERY_IO_LIMIT,QUERY_LANGUAGE,QUERY_ROW_LIMIT,RIGHT,ROLE,SECURITY_AUDIT_LOG,SECURITY_AUDIT_STATE,"
    "SECURITY_PRIV,SELECT_SYSCAT,SERVER_CLASS,SESSION_ID,SESSION_PRIORITY,SESSION_PRIORITY_LIMIT,SESSION_PRIV,"
    "SESSION_SECLABEL,SESSION_USER,SHIFT,SIN,SIZE,SQRT,SQUEEZE,SUM,SYSTEM_USER,TABLE_STATISTICS,TERMINAL,"
    "TRANSACTION_STATE,TRIM,UPDATE_ROWCNT,UPDATE_SYSCAT,UPPERCASE,USERNAME,VARBYTE";
static_assert(WordCount(IngresFunctions) == 102);

constexpr TWordList IngresLists[] = {
    {K::tkDatatype, IngresDataTypes},
    {K::tkKey, IngresReservedWords},
    {K::tkFunction, IngresFunctions},
};

constexpr std::string_view IngresSample =
    "/* Ingres example source */\r\n"
    "DELETE\r\n"
    "FROM t1\r\n"
    "WHERE EXISTS\r\n"
    "(SELECT t2.column1, t2.column2\r\n"
    "FROM t2\r\n"
    "WHERE t1.column1 = t2.column1 and\r\n"
    "t1.column2 = t2.column2)";

constexpr std::string_view MSSQL2KReservedWords =
    "ADD,ALL,ALTER,AND,ANY,AS,ASC,AUTHORIZATION,BACKUP,BEGIN,BETWEEN,BREAK,BROWSE,BULK,BY,CASCADE,CASE,CHECK,"
    "CHECKPOINT,CLOSE,CLUSTERED,COLLATE,COLUMN,COMMIT,COMPUTE,CONSTRAINT,CONTAINS,CONTAINSTABLE,CONTINUE,CREATE,"
    "CROSS,CURRENT,CURSOR,DATABASE,DBCC,DEALLOCATE,DECLARE,DEFAULT,DELETE,DENY,DESC,DISK,DISTINCT,DISTRIBUTED,"
    "DOUBLE,DROP,DUMMY,DUMP,ELSE,END,ERRLVL,ESCAPE,EXCEPT,EXEC,EXECUTE,EXISTS,EXIT,FETCH,FILE,FILLFACTOR,FOR,"
    "FOREIGN,FORMSOF,FREETEXT,FREETEXTTABLE,FROM,FULL,FUNCTION,GOTO,GRANT,GROUP,HAVING,HOLDLOCK,IDENTITY,"
    "IDENTITYCOL,IDENTITY_INSERT,IF,IN,INFLECTIONAL,INDEX,INNER,INSERT,INTERSECT,INTO,IS,ISABOUT,JOIN,KEY,KILL,"
    "LEFT,LIKE,LINENO,LOAD,NATIONAL,NOCHECK,NONCLUSTERED,NOT,NULL,NULLIF,OF,OFF,OFFSETS,ON,OPEN,OPENDATASOURCE,"
    "OPENQUERY,OPENROWSET,OPENXML,OPTION,OR,ORDER,OUTER,OVER,PERCENT,PLAN,PRECISION,PRIMARY,PRINT,PROC,PROCEDURE,"
    "PUBLIC,RAISERROR,READ,READTEXT,RECONFIGURE,REFERENCES,REPLICATION,RESTORE,RESTRICT,RETURN,REVOKE,RIGHT,"
    "ROLLBACK,ROWCOUNT,ROWGUIDCOL,RULE,SAVE,SCHEMA,SELECT,SESSION_USER,SET,SETUSER,SHUTDOWN,SOME,STATISTICS,TABLE,"
    "TEXTSIZE,THEN,TO,TOP,TRAN,TRANSACTION,TRIGGER,TRUNCATE,TSEQUAL,UNION,UNIQUE,UPDATE,UPDATETEXT,USE,USER,VALUES,"
    "VARYING,VIEW,WAITFOR,WEIGHT,WHEN,WHERE,WHILE,WITH,WRITETEXT";
static_assert(WordCount(MSSQL2KReservedWords) == 171);

constexpr std::string_view MSSQL2KDataTypes =
    "bigint,binary,bit,char,character,datetime,dec,decimal,float,image,int,integer,money,nchar,ntext,numeric,"
    "nvarchar,real,rowversion,smalldatetime,smallint,smallmoney,sql_variant,sysname,text,timestamp,tinyint,"
    "uniqueidentifier,varbinary,varchar";
static_assert(WordCount(MSSQL2KDataTypes) == 30);

constexpr std::string_view MSSQL2KFunctions =
    "@@CONNECTIONS,@@CPU_BUSY,@@CURSOR_ROWS,@@DATEFIRST,@@DBTS,@@ERROR,@@FETCH_STATUS,@@IDENTITY,@@IDLE,@@IO_BUSY,"
    "@@LANGID,@@LANGUAGE,@@LOCK_TIMEOUT,@@MAX_CONNECTIONS,@@MAX_PRECISION,@@NESTLEVEL,@@OPTIONS,@@PACKET_ERRORS,"
    "@@PACK_RECEIVED,@@PACK_SENT,@@PROCID,@@REMSERVER,@@ROWCOUNT,@@SERVERNAME,@@SERVICENAME,@@SPID,@@TEXTSIZE,"
    "@@TIMETICKS,@@TOTAL_ERRORS,@@TOTAL_READ,@@TOTAL_WRITE,@@TRANCOUNT,@@VERSION,ABS,ACOS,APP_NAME,ASCII,ASIN,ATAN,"
    "ATN2,AVG,BINARY_CHECKSUM,CAST,CEILING,CHARINDEX,CHECKSUM,CHECKSUM_AGG,COALESCE,COLLATIONPROPERTY,"
    "COLUMNPROPERTY,COL_LENGTH,COL_NAME,CONVERT,COS,COT,COUNT,COUNT_BIG,CURRENT_DATE,CURRENT_TIME,"
    "CURRENT_TIMESTAMP,CURRENT_USER,CURSOR_STATUS,DATABASEPROPERTY,DATABASEPROPERTYEX,DATALENGTH,DATEADD,DATEDIFF,"
    "DATENAME,DATEPART,DAY,DB_ID,DB_NAME,DEGREES,DIFFERENCE,EXP,FILEGROUPPROPERTY,FILEGROUP_ID,FILEGROUP_NAME,"
    "FILEPROPERTY,FILE_ID,FILE_NAME,FLOOR,fn_helpcollations,fn_listextendedproperty,fn_servershareddrives,"
    "fn_trace_geteventinfo,fn_trace_getfilterinfo,fn_trace_getinfo,fn_trace_gettable,fn_virtualfilestats,"
    "FORMATMESSAGE,FULLTEXTCATALOGPROPERTY,FULLTEXTSERVICEPROPERTY,GETANSINULL,GETDATE,GETUTCDATE,GROUPING,"
    "HAS_DBACCESS,HOST_ID,HOST_NAME,IDENT_CURRENT,IDENT_INCR,IDENT_SEED,INDEXKEY_PROPERTY,INDEXPROPERTY,INDEX_COL,"
    "ISDATE,ISNULL,ISNUMERIC,IS_MEMBER,IS_SRVROLEMEMBER,LEN,LOG,LOG10,LOWER,LTRIM,MAX,MIN,MONTH,NEWID,"
    "OBJECTPROPERTY,OBJECT_ID,OBJECT_NAME,PARSENAME,PATINDEX,PERMISSIONS,PI,POWER,QUOTENAME,RADIANS,RAND,REPLACE,"
    "REPLICATE,REVERSE,ROUND,ROWCOUNT_BIG,RTRIM,SCOPE_IDENTITY,SERVERPROPERTY,SESSIONPROPERTY,SIGN,SIN,SOUNDEX,"
    "SPACE,SQL_VARIANT_PROPERTY,SQRT,SQUARE,STATS_DATE,STDEV,STDEVP,STR,STUFF,SUBSTRING,SUM,SUSER_SID,SUSER_SNAME,"
    "SYSTEM_USER,TAN,TEXTPTR,TEXTVALID,TYPEPROPERTY,UNICODE,UPPER,USER_ID,USER_NAME,VAR,VARP,YEAR";
static_assert(WordCount(MSSQL2KFunctions) == 168);

constexpr TWordList MSSQL2KLists[] = {
    {K::tkKey, MSSQL2KReservedWords},
    {K::tkDatatype, MSSQL2KDataTypes},
    {K::tkFunction, MSSQL2KFunctions},
};

constexpr std::string_view MSSQL2KSample =
    "/* SQL Server2000 example source */\r\n"
    "SET QUOTED_IDENTIFIER ON\r\n"
    "GO\r\n"
    "SET ANSI_NULLS OFF\r\n"
    "GO\r\n"
    "\r\n"
    "/* Object:  Stored Procedure dbo.sp_PPQInsertOrder */\r\n"
    "CREATE PROCEDURE sp_PPQInsertOrder\r\n"
    "  @Name    varchar(25),\r\n"
    "  @Address varchar(255),\r\n"
    "  @ZipCode varchar(15)\r\n"
    "AS\r\n"
    "  INSERT INTO PPQOrders(Name, Address, ZipCode, OrderDate)\r\n"
    "  VALUES (@Name, @Address, @ZipCode, GetDate())\r\n"
    "\r\n"
    "  SELECT SCOPE_IDENTITY()\r\n"
    "GO";

} // namespace

std::span<const TWordList> WordLists(TSQLDialect dialect)
{
    switch (dialect) {
    case sqlStandard: return StandardLists;
    case sqlInterbase6: return Interbase6Lists;
    case sqlMSSQL7: return MSSQL7Lists;
    case sqlMySQL: return MySQLLists;
    case sqlOracle: return OracleWordLists();
    case sqlSybase: return SybaseLists;
    case sqlIngres: return IngresLists;
    case sqlMSSQL2K: return MSSQL2KLists;
    }
    return {};
}

std::string_view SampleText(TSQLDialect dialect)
{
    switch (dialect) {
    case sqlStandard: return StandardSample;
    case sqlInterbase6: return Interbase6Sample;
    case sqlMSSQL7: return MSSQL7Sample;
    case sqlMySQL: return MySQLSample;
    case sqlOracle: return OracleSampleText();
    case sqlSybase: return SybaseSample;
    case sqlIngres: return IngresSample;
    case sqlMSSQL2K: return MSSQL2KSample;
    }
    return {};
}

} // namespace SrcSqlTables
