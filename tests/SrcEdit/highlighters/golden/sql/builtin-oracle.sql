PROMPT Oracle sample source
declare
  x varchar2(2000);
begin   -- Show some text here
  select to_char(count(*)) into x
  from tab;

  dbms_output.put_line('Hello World: ' || x);
exception
  when others then
    null;
end;