Create Table x (id Integer Primary Key);
alter table x drop column y;
